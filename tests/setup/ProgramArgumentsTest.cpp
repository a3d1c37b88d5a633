#include <gtest/gtest.h>

#include "setup/ProgramArguments.h"

namespace marlowen {
namespace {

// The quoted forms, as a Windows program's start-up code splits its command line back into the
// same words.
TEST(ProgramArguments, QuotingSurvivesTheWindowsSplittingRules) {
    EXPECT_EQ(QuoteProgramArgument(""), "\"\"");
    EXPECT_EQ(QuoteProgramArgument("one two"), "\"one two\"");
    // Backslashes mean themselves unless a quote follows.
    EXPECT_EQ(QuoteProgramArgument("C:\\Data\\x"), "\"C:\\Data\\x\"");
    EXPECT_EQ(QuoteProgramArgument("\\\\server\\share"), "\"\\\\server\\share\"");
    // A trailing backslash would escape the closing quote and swallow the next argument.
    EXPECT_EQ(QuoteProgramArgument("C:\\Data\\"), "\"C:\\Data\\\\\"");
    EXPECT_EQ(QuoteProgramArgument("a\\\\"), "\"a\\\\\\\\\"");
    // Inner quotes are escaped, and backslashes before them doubled.
    EXPECT_EQ(QuoteProgramArgument("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(QuoteProgramArgument("a\\\"b"), "\"a\\\\\\\"b\"");

    EXPECT_EQ(JoinProgramArguments({}), "");
    EXPECT_EQ(JoinProgramArguments({"C:\\Data\\", "next"}), "\"C:\\Data\\\\\" \"next\"");
}

}  // namespace
}  // namespace marlowen

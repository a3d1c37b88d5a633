#include "setup/ProgramArguments.h"

namespace marlowen {

std::string QuoteProgramArgument(const std::string& argument) {
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are escapes, so each stands doubled; one more escapes the quote.
        const size_t count = c == '"' ? 2 * backslashes + 1 : backslashes;
        quoted.append(count, '\\');
        quoted += c;
        backslashes = 0;
    }
    // Before the closing quote, too, backslashes must be doubled or the quote would be escaped.
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

std::string JoinProgramArguments(const std::vector<std::string>& arguments) {
    std::string joined;
    for (const std::string& argument : arguments) {
        if (!joined.empty()) joined += ' ';
        joined += QuoteProgramArgument(argument);
    }
    return joined;
}

}  // namespace marlowen

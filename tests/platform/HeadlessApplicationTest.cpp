#include <gtest/gtest.h>

#include "platform/headless/HeadlessApplication.h"

namespace marlowen {
namespace {

TEST(HeadlessApplication, TitleStartsAsTheExecutableName) {
    EXPECT_EQ(THeadlessApplication().Title(), "Setup");
    EXPECT_EQ(THeadlessApplication("D:\\My.Tools\\fstool.exe").Title(), "fstool");
    EXPECT_EQ(THeadlessApplication("D:\\Tools\\plain").Title(), "plain");
}

TEST(HeadlessApplication, BoxesTakeScriptedThenSafeAnswers) {
    THeadlessApplication application;
    application.QueueAnswer(MessageBoxAnswer::Yes);
    application.QueueAnswer(MessageBoxAnswer::Retry);
    std::vector<std::string> seen;
    application.OnMessageBox = [&seen](const THeadlessApplication::TShownBox& box) { seen.push_back(box.Text); };

    EXPECT_EQ(application.MessageBox("Remove?", "Remove", MessageBoxFlag::YesNo | MessageBoxFlag::IconQuestion),
              MessageBoxAnswer::Yes);
    EXPECT_EQ(application.MessageBox("Again?", "Error", MessageBoxFlag::RetryCancel), MessageBoxAnswer::Retry);
    // Nothing queued: the answer that does the least.
    EXPECT_EQ(application.MessageBox("Done", "", MessageBoxFlag::Ok | MessageBoxFlag::IconInformation),
              MessageBoxAnswer::Ok);
    EXPECT_EQ(application.MessageBox("Remove?", "", MessageBoxFlag::YesNo | MessageBoxFlag::IconQuestion),
              MessageBoxAnswer::No);
    EXPECT_EQ(application.MessageBox("Again?", "", MessageBoxFlag::RetryCancel | MessageBoxFlag::IconError),
              MessageBoxAnswer::Cancel);

    ASSERT_EQ(application.Boxes().size(), 5u);
    EXPECT_EQ(application.Boxes()[0].Caption, "Remove");
    EXPECT_EQ(application.Boxes()[0].Flags, 0x24u);
    EXPECT_EQ(application.Boxes()[3].Answer, MessageBoxAnswer::No);
    EXPECT_EQ(seen.size(), 5u);
}

TEST(HeadlessApplication, VirtualClockAndMessageHook) {
    THeadlessApplication application;
    application.Sleep(50);
    application.AdvanceClock(1000);
    application.Sleep(0);
    EXPECT_EQ(application.TickCount(), 1050u);
    EXPECT_EQ(application.Sleeps(), (std::vector<uint32_t>{50, 0}));

    application.OnProcessMessages = [&application] {
        if (application.ProcessMessagesCount() == 3) application.Terminate();
    };
    while (!application.Terminated()) application.ProcessMessages();
    EXPECT_EQ(application.ProcessMessagesCount(), 3);
    application.Beep();
    EXPECT_EQ(application.BeepCount(), 1);
}

}  // namespace
}  // namespace marlowen

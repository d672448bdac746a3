#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "world/OnceMessages.h"

using Torvane::OnceMessages;

TEST(OnceMessages, EachTextIsShownOnceWithALineEnd) {
    testing::internal::CaptureStdout();
    EXPECT_TRUE(OnceMessages::show("once-messages: first"));
    EXPECT_FALSE(OnceMessages::show("once-messages: first"));
    EXPECT_TRUE(OnceMessages::show("once-messages: second\n"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "once-messages: first\nonce-messages: second\n");
}

// In a child process: it uses up the texts of the whole run.
TEST(OnceMessagesDeathTest, PastTheLimitOneLineSaysThatMoreAreNotShown) {
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            int shownNow = 0;
            for (int i = 0; i < OnceMessages::maxShown + 50; ++i)
                shownNow += OnceMessages::show("problem " + std::to_string(i));
            // Texts shown by earlier tests count too; past the limit nothing more is shown, old or new.
            const bool quiet = !OnceMessages::show("one more problem") && !OnceMessages::show("problem 0");
            std::exit(shownNow > 0 && shownNow <= OnceMessages::maxShown && quiet ? 0 : 4);
        },
        testing::ExitedWithCode(0), "problem 0\n.*More problems with data files are not shown \\(1000 were\\)\\.\n");
}

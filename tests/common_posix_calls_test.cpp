// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "common/PosixCalls.h"

using namespace tavrin;

TEST(RetryInterrupted, RepeatsOnlyWhatASignalInterrupted) {
    int calls = 0;
    auto interruptedTwice = [&] {
        errno = EINTR;
        return ++calls < 3 ? -1 : 7;
    };
    EXPECT_EQ(RetryInterrupted(interruptedTwice), 7);
    EXPECT_EQ(calls, 3);

    calls = 0;
    auto failing = [&] {
        ++calls;
        errno = EIO;
        return -1;
    };
    EXPECT_EQ(RetryInterrupted(failing), -1);
    EXPECT_EQ(calls, 1) << "a real failure is not repeated";
}

TEST(ReadWholeFile, MissingFileGivesNothing) { EXPECT_FALSE(ReadWholeFile("/nonexistent/tavrin/file").has_value()); }

// Work deferred out of a handler runs from the message loop, in order, and only there.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "host/deferred_call_win32.h"
#include "standin_fixture.h"

namespace {

using namespace std::chrono_literals;

TEST(RunFromMessageLoop, RunsAfterTheCallerReturnsOnceEachInTheOrderGiven) {
    std::vector<int> ran;
    Win32::RunFromMessageLoop([&ran] { ran.push_back(1); });
    Win32::RunFromMessageLoop([&ran] { ran.push_back(2); });
    // Not inside the caller: that is the point.
    EXPECT_TRUE(ran.empty());
    ASSERT_TRUE(StandinTest::PumpMessagesUntil([&ran] { return ran.size() == 2; }, 5s));
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    // Each runs once, not with every later tick of its timer.
    StandinTest::PumpMessagesUntil([] { return false; }, 100ms);
    EXPECT_EQ(ran.size(), 2u);
}

TEST(RunFromMessageLoop, ACallMayDeferAnother) {
    std::vector<int> ran;
    Win32::RunFromMessageLoop([&ran] {
        ran.push_back(1);
        Win32::RunFromMessageLoop([&ran] { ran.push_back(2); });
    });
    ASSERT_TRUE(StandinTest::PumpMessagesUntil([&ran] { return ran.size() == 2; }, 5s));
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

}  // namespace

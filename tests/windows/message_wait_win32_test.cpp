// Start-up's wait for its network steps: it must keep the window's messages flowing, wake when
// another thread says so and hand a quit request on to the message loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "host/app_windows_webview2.h"

namespace {

using namespace std::chrono_literals;

// Clears what earlier tests left in this thread's queue.
void DrainQueue() {
    MSG message = {};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST(DispatchMessagesUntil, ReturnsOnceAnotherThreadWakesItWithTheConditionMet) {
    DrainQueue();
    std::atomic<bool> ready{false};
    const DWORD uiThread = GetCurrentThreadId();
    std::thread worker([&] {
        std::this_thread::sleep_for(100ms);
        ready = true;
        AppWindows::WakeMessageWait(uiThread);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(AppWindows::DispatchMessagesUntil([&] { return ready.load(); }));
    const auto waited = std::chrono::steady_clock::now() - start;
    worker.join();
    EXPECT_GE(waited, 90ms);
    EXPECT_LT(waited, 5s) << "the wake-up was lost";
}

TEST(DispatchMessagesUntil, TimersKeepComingDuringTheWait) {
    // The condition is only looked at when a message arrives: a timer must wake the wait.
    DrainQueue();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, nullptr);
    ASSERT_NE(timer, 0u);
    const auto until = std::chrono::steady_clock::now() + 200ms;
    EXPECT_TRUE(AppWindows::DispatchMessagesUntil(
        [&] { return std::chrono::steady_clock::now() >= until; }));
    KillTimer(nullptr, timer);
    EXPECT_LT(std::chrono::steady_clock::now() - until, 2s);
    DrainQueue();
}

TEST(DispatchMessagesUntil, QuitRequestEndsTheWaitAndStaysForTheMessageLoop) {
    DrainQueue();
    PostQuitMessage(7);
    EXPECT_FALSE(AppWindows::DispatchMessagesUntil([] { return false; }));
    MSG quit = {};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(quit.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(quit.wParam, 7u);
}

}  // namespace

// The Win32 main windows as the user meets them, driven through the real window procedure with
// the portable controller and a recording browser host behind them.
#include "host/main_window_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "support/fake_browser_host.h"

namespace {

using AppWindows::Win32MainWindow;
using AppWindows::WindowController;

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

bool Logged(const TestSupport::Journal& journal, const std::string& line) {
    return std::find(journal.begin(), journal.end(), line) != journal.end();
}

class MainWindowTest : public ::testing::TestWithParam<RunMode> {
  protected:
    void SetUp() override {
        record_.version = u"4.18.0";
        window_ = Win32MainWindow::Create(GetParam(), record_, GetModuleHandleW(nullptr));
        ASSERT_NE(window_, nullptr);
        AppWindows::ShellOperations shell;
        shell.endRun = [this](int code) { journal_.push_back("endRun " + std::to_string(code)); };
        controller_ = std::make_unique<WindowController>(GetParam(), record_, host_, *window_,
                                                         std::move(shell));
        window_->Attach(controller_.get());
        Pump();
    }
    void TearDown() override {
        window_.reset();
        controller_.reset();
    }

    HWND Window() const { return window_->Handle(); }

    AppRecord record_;
    TestSupport::Journal journal_;
    TestSupport::FakeBrowserHost host_{journal_};
    std::unique_ptr<Win32MainWindow> window_;
    std::unique_ptr<WindowController> controller_;
};

TEST_P(MainWindowTest, ClassTitleStyleAndSizeOfTheMode) {
    const bool init = GetParam() == RunMode::Init;
    wchar_t className[128] = {};
    GetClassNameW(Window(), className, 128);
    EXPECT_STREQ(className, init ? L"ZelvanInitWindow" : L"Orbis CampusWindow");
    wchar_t title[128] = {};
    GetWindowTextW(Window(), title, 128);
    EXPECT_STREQ(title, L"Orbis Campus V 4.18.0");
    EXPECT_EQ(GetWindowLongW(Window(), GWL_STYLE) & (WS_OVERLAPPEDWINDOW | WS_VISIBLE),
              static_cast<LONG>(WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    RECT frame{};
    GetWindowRect(Window(), &frame);
    EXPECT_EQ(frame.right - frame.left, init ? 1024 : 1280);
    EXPECT_EQ(frame.bottom - frame.top, init ? 768 : 720);
}

TEST_P(MainWindowTest, PaintsTheLoadingTextGreyOnBlack) {
    RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Pump();
    RECT client{};
    GetClientRect(Window(), &client);
    HDC dc = GetDC(Window());
    int grey = 0;
    int black = 0;
    const int middle = (client.bottom - client.top) / 2;
    for (int y = middle - 12; y <= middle + 12; y += 2) {
        for (int x = client.left; x < client.right; x += 2) {
            const COLORREF pixel = GetPixel(dc, x, y);
            if (pixel == RGB(0, 0, 0)) ++black;
            if (GetRValue(pixel) > 100 && GetRValue(pixel) == GetGValue(pixel)) ++grey;
        }
    }
    ReleaseDC(Window(), dc);
    EXPECT_GT(grey, 20) << "no text drawn across the middle of the window";
    EXPECT_GT(black, grey * 5) << "the background is not black";
}

TEST_P(MainWindowTest, MinimiseRestoreResizeMoveAndPowerReachTheBrowser) {
    journal_.clear();
    ShowWindow(Window(), SW_MINIMIZE);
    Pump();
    EXPECT_TRUE(Logged(journal_, "hidden"));
    // Resuming while minimised must not bring the view back.
    journal_.clear();
    SendMessageW(Window(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_FALSE(Logged(journal_, "restoreVisibility"));
    ShowWindow(Window(), SW_RESTORE);
    Pump();
    EXPECT_TRUE(Logged(journal_, "restoreVisibility"));
    journal_.clear();
    SendMessageW(Window(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 600));
    EXPECT_TRUE(Logged(journal_, "resize 800x600"));
    SendMessageW(Window(), WM_MOVE, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(Logged(journal_, "moved"));
    journal_.clear();
    EXPECT_EQ(SendMessageW(Window(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0), TRUE);
    EXPECT_TRUE(Logged(journal_, "hidden"));
    EXPECT_EQ(SendMessageW(Window(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0), TRUE);
    EXPECT_TRUE(Logged(journal_, "restoreVisibility"));
}

TEST_P(MainWindowTest, ClosingShutsTheBrowserDownAndEndsTheRunWithZero) {
    journal_.clear();
    window_->Close();
    Pump();
    EXPECT_FALSE(IsWindow(Window()));
    ASSERT_GE(journal_.size(), 2u);
    EXPECT_EQ(journal_[0], "shutdown 5000");
    EXPECT_EQ(journal_[1], "endRun 0");
}

INSTANTIATE_TEST_SUITE_P(BothModes, MainWindowTest,
                         ::testing::Values(RunMode::Init, RunMode::Player), [](const auto& mode) {
                             return mode.param == RunMode::Init ? "Init" : "Player";
                         });

TEST(MainWindowCoverScreen, InitKeepsItsStyleBitsAndComesBackToItsPlacement) {
    AppRecord record;
    auto window = Win32MainWindow::Create(RunMode::Init, record, GetModuleHandleW(nullptr));
    ASSERT_NE(window, nullptr);
    HWND handle = window->Handle();
    SetWindowPos(handle, nullptr, 40, 30, 900, 700, SWP_NOZORDER);
    RECT before{};
    GetWindowRect(handle, &before);
    window->SavePlacement();
    ASSERT_TRUE(window->CoverScreen(AppWindows::ScreenFallback::Primary));
    const LONG covered = GetWindowLongW(handle, GWL_STYLE);
    EXPECT_EQ(covered & WS_OVERLAPPEDWINDOW, 0);
    EXPECT_NE(covered & WS_VISIBLE, 0);
    RECT full{};
    GetWindowRect(handle, &full);
    EXPECT_EQ(full.right - full.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(full.bottom - full.top, GetSystemMetrics(SM_CYSCREEN));
    window->RestorePlacement();
    RECT after{};
    GetWindowRect(handle, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_NE(GetWindowLongW(handle, GWL_STYLE) & WS_CAPTION, 0);
}

TEST(MainWindowCoverScreen, PlayerTakesExactlyThePopupStyleAndComesBackAtItsSize) {
    AppRecord record;
    auto window = Win32MainWindow::Create(RunMode::Player, record, GetModuleHandleW(nullptr));
    ASSERT_NE(window, nullptr);
    HWND handle = window->Handle();
    // The system adds WS_CLIPSIBLINGS to every top-level window on its own.
    const auto style = [handle] {
        return static_cast<DWORD>(GetWindowLongW(handle, GWL_STYLE)) & ~DWORD{WS_CLIPSIBLINGS};
    };
    ASSERT_TRUE(window->CoverScreen(AppWindows::ScreenFallback::Nearest));
    EXPECT_EQ(style(), 0x90000000u);
    window->RestoreAtSize(1280, 720);
    EXPECT_EQ(style(), 0x10CF0000u);
    RECT frame{};
    GetWindowRect(handle, &frame);
    EXPECT_EQ(frame.right - frame.left, 1280);
    EXPECT_EQ(frame.bottom - frame.top, 720);
}

}  // namespace

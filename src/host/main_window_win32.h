#pragma once
// The main window of either run mode on Win32: the init window on the portal, or the player's
// loading window that later hosts the content. It only creates the window, paints the loading
// text and hands its events to the window controller; what they mean is decided there.
#include <windows.h>

#include <memory>

#include "common/app_record.h"
#include "common/run_mode.h"
#include "host/window_controller.h"

namespace AppWindows {

class Win32MainWindow final : public WindowOperations {
  public:
    enum class Visibility { Shown, Hidden };
    // Registers the mode's window class (once) and creates the window at the mode's size and
    // default position. Empty when the window could not be created.
    static std::unique_ptr<Win32MainWindow> Create(RunMode mode, const AppRecord& record,
                                                   HINSTANCE instance,
                                                   Visibility visibility = Visibility::Shown);
    ~Win32MainWindow() override;
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;

    HWND Handle() const { return window_; }
    // Events go to `controller` from now on (none before: the browser does not exist yet).
    void Attach(WindowController* controller) { controller_ = controller; }

    void ShowAndRaise() override;
    void Show() override;
    bool IsMinimized() const override;
    void SavePlacement() override;
    bool CoverScreen(ScreenFallback fallback) override;
    void RestorePlacement() override;
    void RestoreAtSize(int width, int height) override;
    void Close() override;

  private:
    explicit Win32MainWindow(RunMode mode) : mode_(mode) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    RunMode mode_;
    HWND window_ = nullptr;
    WindowController* controller_ = nullptr;
    WINDOWPLACEMENT savedPlacement_{};
};

// "جاري التحميل... Loading...", painted grey on the black background until the view covers it.
void PaintLoadingText(HWND window);

}  // namespace AppWindows

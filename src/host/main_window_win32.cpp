#include "host/main_window_win32.h"
#include "common/wide_text_win32.h"

#include <string>

namespace AppWindows {
namespace {

constexpr int kIconResourceId = 101;
constexpr wchar_t kLoadingText[] =
    L"\u062C\u0627\u0631\u064A \u0627\u0644\u062A\u062D\u0645\u064A\u0644... Loading...";

bool RegisterWindowClass(HINSTANCE instance, const std::u16string& className, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResourceId));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = Win32::WidePtr(className);
    // A class left registered by an earlier window of this process is as good as a new one.
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool MonitorRect(HWND window, DWORD fallback, RECT& area) {
    HMONITOR monitor = MonitorFromWindow(window, fallback);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) return false;
    area = info.rcMonitor;  // the whole screen, not its work area
    return true;
}

}  // namespace

std::unique_ptr<Win32MainWindow> Win32MainWindow::Create(RunMode mode, const AppRecord& record,
                                                         HINSTANCE instance,
                                                         Visibility visibility) {
    const bool init = mode == RunMode::Init;
    const std::u16string className =
        init ? std::u16string(u"ZelvanInitWindow") : record.displayName + u"Window";
    RegisterWindowClass(instance, className, &Win32MainWindow::Procedure);
    std::unique_ptr<Win32MainWindow> made(new Win32MainWindow(mode));
    const std::u16string title = record.displayName + u" V " + record.version;
    HWND window =
        CreateWindowExW(WS_EX_APPWINDOW, Win32::WidePtr(className), Win32::WidePtr(title),
                        (visibility == Visibility::Shown ? WS_VISIBLE : 0) | WS_OVERLAPPEDWINDOW,
                        CW_USEDEFAULT, CW_USEDEFAULT, init ? kInitWidth : kPlayerWidth,
                        init ? kInitHeight : kPlayerHeight, nullptr, nullptr, instance, made.get());
    if (window == nullptr) return nullptr;
    return made;
}

Win32MainWindow::~Win32MainWindow() {
    controller_ = nullptr;
    if (window_ != nullptr && IsWindow(window_)) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

LRESULT CALLBACK Win32MainWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<Win32MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT Win32MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (message) {
        case WM_DESTROY:
            window_ = nullptr;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            if (controller_ != nullptr) {
                controller_->WindowClosed();
            } else {
                PostQuitMessage(0);
            }
            return 0;
        case WM_MOVE:
        case WM_MOVING:
            if (controller_ != nullptr) controller_->WindowMoved();
            break;
        case WM_SIZE:
            if (controller_ != nullptr) {
                if (wParam == SIZE_MINIMIZED) {
                    controller_->WindowMinimized();
                } else {
                    controller_->WindowResized(LOWORD(lParam), HIWORD(lParam));
                }
            }
            return 0;
        case WM_PAINT:
            PaintLoadingText(window);
            return 0;
        case WM_ACTIVATEAPP:
            if (wParam != 0 && controller_ != nullptr) controller_->WindowActivated();
            break;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMSUSPEND) {
                if (controller_ != nullptr) controller_->SystemSuspending();
                return TRUE;
            }
            if (wParam == PBT_APMRESUMESUSPEND || wParam == PBT_APMRESUMEAUTOMATIC) {
                if (controller_ != nullptr) controller_->SystemResumed();
                return TRUE;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Win32MainWindow::ShowAndRaise() {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    // Above every other window once, and not left on top.
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    UpdateWindow(window_);
}

void Win32MainWindow::Show() {
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
}

bool Win32MainWindow::IsMinimized() const {
    return window_ != nullptr && IsIconic(window_);
}

void Win32MainWindow::SavePlacement() {
    savedPlacement_ = WINDOWPLACEMENT{};
    savedPlacement_.length = sizeof(savedPlacement_);
    if (!GetWindowPlacement(window_, &savedPlacement_)) savedPlacement_.length = 0;
}

// The two windows cover the screen differently: the init window keeps its other style bits and
// comes back to its saved placement; the player window takes exactly the popup style and comes
// back at its creation size.
bool Win32MainWindow::CoverScreen(ScreenFallback fallback) {
    if (mode_ == RunMode::Init && savedPlacement_.length == 0) return false;
    RECT area{};
    const DWORD monitorFallback =
        fallback == ScreenFallback::Primary ? MONITOR_DEFAULTTOPRIMARY : MONITOR_DEFAULTTONEAREST;
    if (!MonitorRect(window_, monitorFallback, area)) return false;
    const LONG style = GetWindowLongW(window_, GWL_STYLE);
    const LONG covering = mode_ == RunMode::Init ? (style & ~static_cast<LONG>(WS_OVERLAPPEDWINDOW))
                                                 : static_cast<LONG>(WS_POPUP | WS_VISIBLE);
    SetWindowLongW(window_, GWL_STYLE, covering);
    const UINT flags =
        mode_ == RunMode::Init ? SWP_NOOWNERZORDER | SWP_FRAMECHANGED : SWP_FRAMECHANGED;
    SetWindowPos(window_, HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, flags);
    return true;
}

void Win32MainWindow::RestorePlacement() {
    const LONG style = GetWindowLongW(window_, GWL_STYLE);
    SetWindowLongW(window_, GWL_STYLE, style | static_cast<LONG>(WS_OVERLAPPEDWINDOW));
    if (savedPlacement_.length != 0) SetWindowPlacement(window_, &savedPlacement_);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
}

void Win32MainWindow::RestoreAtSize(int width, int height) {
    SetWindowLongW(window_, GWL_STYLE, static_cast<LONG>(WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    // Centred on its screen's work area: it was created at the system's default position, which
    // cannot be asked for again.
    HMONITOR monitor = MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    int x = 0;
    int y = 0;
    if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) {
        x = info.rcWork.left + (info.rcWork.right - info.rcWork.left - width) / 2;
        y = info.rcWork.top + (info.rcWork.bottom - info.rcWork.top - height) / 2;
    }
    SetWindowPos(window_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_FRAMECHANGED);
}

void Win32MainWindow::Close() {
    if (window_ != nullptr) DestroyWindow(window_);
}

void PaintLoadingText(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr) return;
    RECT client{};
    GetClientRect(window, &client);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(200, 200, 200));
    HFONT font = CreateFontW(24, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                             DEFAULT_PITCH, L"Segoe UI");
    HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
    DrawTextW(dc, kLoadingText, -1, &client, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    if (previous != nullptr) SelectObject(dc, previous);
    if (font != nullptr) DeleteObject(font);
    EndPaint(window, &paint);
}

}  // namespace AppWindows

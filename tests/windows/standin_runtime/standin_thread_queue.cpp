#include "standin_thread_queue.h"

#include <memory>
#include <mutex>

namespace Standin {
namespace {

constexpr wchar_t kWindowClass[] = L"OrbisStandinRuntimeQueue";
constexpr UINT kRunWork = WM_APP + 1;

using Work = std::function<void()>;

LRESULT CALLBACK QueueWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunWork) {
        const std::unique_ptr<Work> work(reinterpret_cast<Work*>(lParam));
        (*work)();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HINSTANCE ThisLibrary() {
    HMODULE self = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&QueueWindowProcedure), &self);
    return self;
}

// One window per thread, made on first use; Windows destroys it with its thread.
HWND QueueWindowOfThisThread() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = QueueWindowProcedure;
        windowClass.hInstance = ThisLibrary();
        windowClass.lpszClassName = kWindowClass;
        RegisterClassW(&windowClass);
    });
    thread_local HWND window = nullptr;
    if (window == nullptr || !IsWindow(window)) {
        window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 ThisLibrary(), nullptr);
    }
    return window;
}

}  // namespace

HRESULT PostToCallingThread(std::function<void()> work) {
    const HWND window = QueueWindowOfThisThread();
    if (window == nullptr) return HRESULT_FROM_WIN32(GetLastError());
    auto queued = std::make_unique<Work>(std::move(work));
    if (!PostMessageW(window, kRunWork, 0, reinterpret_cast<LPARAM>(queued.get()))) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    queued.release();  // the window procedure owns it now
    return S_OK;
}

}  // namespace Standin

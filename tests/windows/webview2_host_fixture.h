#pragma once
// The WebView2 host against the stand-in runtime: a real top-level window, the stand-in chosen
// through WEBVIEW2_BROWSER_EXECUTABLE_FOLDER (as an installed runtime would be), and the
// stand-in's test commands resolved from the library that made the view.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "common/wide_text_win32.h"
#include "host/webview_host_webview2.h"
#include "standin_fixture.h"

namespace WebView2HostTest {

inline std::string Hex(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(result));
    return text;
}

constexpr UINT_PTR kCloseTimer = 1;

inline LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kCloseTimer) {
                KillTimer(window, kCloseTimer);
                DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            // As the application's windows do: closing the window ends the message loop.
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

class HostFixture : public StandinTest::StandinRuntimeTest {
  protected:
    void SetUp() override {
        StandinRuntimeTest::SetUp();
        if (HasFatalFailure()) return;
        Set(L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER",
            StandinTest::RuntimeFolder(StandinTest::kCurrentVersion).wstring());
        // The host sets these itself; each test ends with them as it found them.
        Set(L"WEBVIEW2_USER_DATA_FOLDER", std::nullopt);
        Set(L"WEBVIEW2_ADDITIONAL_BROWSER_ARGUMENTS", std::nullopt);
        dataBase_ = (data_.path() / L"WebView2Data").u16string();

        static const bool registered = [] {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = TestWindowProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"OrbisHostTestWindow";
            // Dark, so that a screenshot tells the window from the white stand-in view.
            windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
            return RegisterClassW(&windowClass) != 0;
        }();
        ASSERT_TRUE(registered);
        window_ =
            CreateWindowExW(0, L"OrbisHostTestWindow", L"host test", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                            480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        ShowWindow(window_, SW_SHOW);
        host_ = std::make_unique<WebView::WebViewHost>(window_, baseUrl_);
        host_->events.initialized = [this](bool succeeded, WebViewStatus::Result result) {
            initializedCalls_.push_back({succeeded, result});
        };
    }

    void TearDown() override {
        host_.reset();
        if (IsWindow(window_)) DestroyWindow(window_);
        // The window's end posted a quit request; it must not reach the next test's pump.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        StandinRuntimeTest::TearDown();
    }

    // Lets queued completions and posted messages run.
    static void Drain() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    // The "call" (or "event") names of the log, in order.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& line : LogLines()) {
            if (line.contains("call")) names.push_back(line["call"].get<std::string>());
            if (line.contains("event"))
                names.push_back("event:" + line["event"].get<std::string>());
        }
        return names;
    }

    std::vector<nlohmann::json> Lines(const std::string& name) const {
        std::vector<nlohmann::json> found;
        for (const auto& line : LogLines()) {
            if ((line.contains("call") && line["call"] == name) ||
                (line.contains("event") && line["event"] == name)) {
                found.push_back(line);
            }
        }
        return found;
    }

    // A command of the stand-in library that made the current view.
    template <typename Function>
    Function Command(const char* name) const {
        ICoreWebView2* view = host_->View();
        if (view == nullptr) return nullptr;
        // The view's QueryInterface lives in the library: its address names the module.
        const void* queryInterface = (*reinterpret_cast<void* const* const*>(view))[0];
        HMODULE module = nullptr;
        GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCWSTR>(queryInterface), &module);
        return module == nullptr ? nullptr
                                 : reinterpret_cast<Function>(
                                       reinterpret_cast<void*>(GetProcAddress(module, name)));
    }

    void Initialize(int attempts = 1) { host_->Initialize(dataBase_, attempts); }

    std::u16string DataFolder() const { return dataBase_ + u"_Evergreen_Env6"; }

    struct InitializedCall {
        bool succeeded;
        WebViewStatus::Result result;
    };

    TestSupport::TempFolder data_;
    std::u16string dataBase_;
    std::u16string baseUrl_ = u"https://campus.zelvan.test";
    HWND window_ = nullptr;
    std::unique_ptr<WebView::WebViewHost> host_;
    std::vector<InitializedCall> initializedCalls_;
};

inline std::string Utf8(const std::u16string& text) {
    return Text::Utf16ToUtf8(text);
}

}  // namespace WebView2HostTest

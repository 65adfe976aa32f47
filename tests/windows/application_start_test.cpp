// The shipped executable started the way a user starts it, under the stand-in runtime installed
// beside it as a fixed-version runtime: the whole start-up sequence, the window, the browser
// and the way out, seen from outside the process (stand-in call log, platform request log,
// registry, window, exit code).
#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/url_protocol.h"
#include "common/win32_resources_win32.h"
#include "standin_fixture.h"
#include "support/demo_platform.h"
#include "support/test_support.h"
#include "tenant_profile.h"
#include "window_capture.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr wchar_t kInitWindowClass[] = L"ZelvanInitWindow";
constexpr wchar_t kSplashClass[] = L"ZelvanTransparentSplashClass";
constexpr wchar_t kWindowTitle[] = L"Orbis Campus V 4.18.0";
constexpr wchar_t kSchemeCommandKey[] = L"Software\\Classes\\orbiscampus\\shell\\open\\command";

struct FoundWindow {
    DWORD processId = 0;
    const wchar_t* className = nullptr;
    HWND window = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM found) {
    auto* wanted = reinterpret_cast<FoundWindow*>(found);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner == wanted->processId && wcscmp(className, wanted->className) == 0) {
        wanted->window = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring WindowTitle(HWND window) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return title;
}

std::wstring RegistryDefaultValue(HKEY hive, const wchar_t* key) {
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(hive, key, nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return {};
    }
    return value;
}

fs::path LocalAppData() {
    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

// Whether `path` (UTF-8, as the stand-in logs it) lies in `folder` or starts with its name (a
// suffix added to the folder's name counts), compared without case as Windows compares names.
bool StartsWithFolder(const std::string& path, const fs::path& folder) {
    const std::wstring wide = fs::u8path(path).wstring();
    const std::wstring prefix = folder.wstring();
    return wide.size() >= prefix.size() &&
           CompareStringOrdinal(wide.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

// The executable as an installation lays it out: the program, its language files and a
// fixed-version runtime folder, under a path with a space (as "Program Files" has).
class ApplicationStart : public StandinTest::StandinRuntimeTest {
  protected:
    void SetUp() override {
        StandinRuntimeTest::SetUp();
        if (HasFatalFailure()) return;
        const fs::path built = StandinTest::ExecutableFolder() / ORBIS_APP_EXECUTABLE;
        ASSERT_TRUE(fs::exists(built)) << "application not built: " << built.string();
        executable_ = install_.path() / L"orbis-campus.exe";
        fs::copy_file(built, executable_);
        fs::copy(built.parent_path() / L"resources", install_.path() / L"resources",
                 fs::copy_options::recursive);
        fs::copy(StandinTest::RuntimeFolder(StandinTest::kCurrentVersion),
                 install_.path() / L"WebView2Runtime", fs::copy_options::recursive);
        schemeWasRegistered_ = !RegistryDefaultValue(HKEY_CURRENT_USER, kSchemeCommandKey).empty();
    }

    void TearDown() override {
        // A process that is still running (a failed test) would hold the instance lock for the
        // next one, or keep a message box waiting.
        if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.get(), 99);
            WaitForSingleObject(process_.get(), 10000);
        }
        process_.reset();
        if (!schemeWasRegistered_) {
            RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\orbiscampus");
        }
        StandinRuntimeTest::TearDown();
    }

    // Starts the installed program with `arguments` after its own path.
    bool Start(const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + executable_.wstring() + L"\"";
        if (!arguments.empty()) commandLine += L" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        if (!CreateProcessW(executable_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, install_.path().c_str(), &startup, &started)) {
            return false;
        }
        CloseHandle(started.hThread);
        process_.reset(started.hProcess);
        processId_ = started.dwProcessId;
        return true;
    }

    HWND WaitForWindow(const wchar_t* className, std::chrono::milliseconds limit) {
        FoundWindow found{processId_, className, nullptr};
        StandinTest::PumpMessagesUntil(
            [&] {
                EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&found));
                return found.window != nullptr || Exited();
            },
            limit);
        return found.window;
    }

    bool Exited() const { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }

    // Waits for the end of the process; its exit code, or -1 when it did not end in time.
    int WaitForExit(std::chrono::milliseconds limit) {
        if (!StandinTest::PumpMessagesUntil([&] { return Exited(); }, limit)) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return static_cast<int>(code);
    }

    // The index of the first log line that calls `call`, or -1.
    static int FirstCall(const std::vector<nlohmann::json>& lines, const std::string& call) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].value("call", "") == call) return static_cast<int>(i);
        }
        return -1;
    }

    TestSupport::TempFolder install_{L"Orbis Campus"};
    fs::path executable_;
    Win32::UniqueHandle process_;
    DWORD processId_ = 0;
    bool schemeWasRegistered_ = false;
};

TEST_F(ApplicationStart, InitModeOpensThePortalAndAClosedWindowEndsTheProcessWithZero) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    const int updateChecksBefore = TestSupport::LoggedGets(platform, Tenant::UpdateCheckPath());
    ASSERT_TRUE(Start(L""));
    // The splash comes first, while start-up checks the runtime and asks the platform for
    // updates (it closes on the portal's first completed navigation, which only a real browser or
    // the end-to-end harness raises, or after its time-out).
    EXPECT_NE(WaitForWindow(kSplashClass, 30s), nullptr) << "no splash during start-up";

    const std::string portal = Tenant::InitStartUrl();
    ASSERT_TRUE(StandinTest::PumpMessagesUntil(
        [&] { return FirstCall(LogLines(), "ICoreWebView2.Navigate") >= 0 || Exited(); }, 60s))
        << "the portal was never navigated to";
    ASSERT_FALSE(Exited()) << "the process ended during start-up";

    // The start-up sequence ran before the window: the update check reached the platform and
    // the scheme now starts this very program.
    EXPECT_GT(TestSupport::LoggedGets(platform, Tenant::UpdateCheckPath()), updateChecksBefore);
    EXPECT_EQ(
        RegistryDefaultValue(HKEY_CURRENT_USER, kSchemeCommandKey),
        reinterpret_cast<const wchar_t*>(BuildSchemeOpenCommand(executable_.u16string()).c_str()));

    // The page scripts are in place before the portal's first document can exist.
    const std::vector<nlohmann::json> lines = LogLines();
    const int navigated = FirstCall(lines, "ICoreWebView2.Navigate");
    EXPECT_EQ(lines[static_cast<std::size_t>(navigated)].value("uri", ""), portal);
    const int firstScript = FirstCall(lines, "ICoreWebView2.AddScriptToExecuteOnDocumentCreated");
    ASSERT_GE(firstScript, 0) << "no page script was registered";
    EXPECT_LT(firstScript, navigated);

    // The browser came from the runtime installed beside the program, with its data in the
    // user's local application data.
    const int created = FirstCall(lines, "CreateWebViewEnvironmentWithOptionsInternal");
    ASSERT_GE(created, 0);
    const nlohmann::json& environment = lines[static_cast<std::size_t>(created)];
    EXPECT_TRUE(
        StartsWithFolder(environment.value("library", ""), install_.path() / L"WebView2Runtime"))
        << environment.dump();
    EXPECT_TRUE(StartsWithFolder(environment.value("userDataFolder", ""),
                                 LocalAppData() / L"Orbis Campus" / L"WebView2Data"))
        << environment.dump();

    HWND window = WaitForWindow(kInitWindowClass, 10s);
    ASSERT_NE(window, nullptr) << "no init window";
    EXPECT_EQ(WindowTitle(window), kWindowTitle);
    EXPECT_TRUE(IsWindowVisible(window));
    RECT frame = {};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right - frame.left, 1024);
    EXPECT_EQ(frame.bottom - frame.top, 768);

    // What the user sees: the browser's view over the whole client area (the stand-in paints
    // it white with the address in dark text), not the black loading background.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    StandinTest::PumpMessagesUntil([] { return false; }, 500ms);
    const WindowCapture::Capture capture =
        WindowCapture::CaptureClientArea(window, L"application-init-window");
    ASSERT_FALSE(capture.pixels.empty());
    const auto white =
        std::count_if(capture.pixels.begin(), capture.pixels.end(),
                      [](std::uint32_t pixel) { return WindowCapture::IsWhite(pixel); });
    EXPECT_GT(static_cast<std::size_t>(white), capture.pixels.size() * 9 / 10);

    ASSERT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0));
    EXPECT_EQ(WaitForExit(30s), 0);
    // The browser was shut down on the way out, not left to die with the process.
    EXPECT_GE(FirstCall(LogLines(), "ICoreWebView2Controller.Close"), 0);
}

}  // namespace

#include "standin_command_file.h"

#include <windows.h>

#include <string>

#include "common/win32_resources_win32.h"
#include "standin_log.h"
#include "standin_switches.h"

extern "C" {
BOOL StandinRaiseNavigationStarting(LPCWSTR uri);
void StandinRaiseNavigationCompleted(BOOL succeeded, int webErrorStatus);
void StandinRaiseWebMessage(LPCWSTR json, LPCWSTR text);
void StandinRaiseWebResourceRequested(LPCWSTR uri);
int StandinRaisePermissionRequested(int kind, LPCWSTR uri);
BOOL StandinRaiseNewWindowRequested(LPCWSTR uri);
int StandinRaiseServerCertificateError(LPCWSTR uri);
void StandinRaiseBrowserProcessExited();
BOOL StandinCompletePrint(HRESULT errorCode, int status);
}

namespace Standin {
namespace {

constexpr UINT kPollMilliseconds = 50;

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

struct CommandFile {
    std::wstring path;
    LONGLONG offset = 0;
    std::string pending;
};

CommandFile& TheFile() {
    static CommandFile file;
    return file;
}

// A JSON string member as UTF-16; `present` false when it is missing or null.
std::wstring TextMember(const nlohmann::json& command, const char* name, bool& present) {
    const auto found = command.find(name);
    present = found != command.end() && found->is_string();
    return present ? Wide(found->get<std::string>()) : std::wstring();
}

void Run(const nlohmann::json& command) {
    const std::string raise = command.value("raise", "");
    bool hasUri = false;
    const std::wstring uri = TextMember(command, "uri", hasUri);
    const LPCWSTR uriOrNull = hasUri ? uri.c_str() : nullptr;
    if (raise == "NavigationStarting") {
        StandinRaiseNavigationStarting(uriOrNull);
    } else if (raise == "NavigationCompleted") {
        StandinRaiseNavigationCompleted(command.value("isSuccess", true) ? TRUE : FALSE,
                                        command.value("webErrorStatus", 0));
    } else if (raise == "WebMessage") {
        bool hasJson = false;
        bool hasText = false;
        const std::wstring json = TextMember(command, "json", hasJson);
        const std::wstring text = TextMember(command, "text", hasText);
        StandinRaiseWebMessage(hasJson ? json.c_str() : nullptr, hasText ? text.c_str() : nullptr);
    } else if (raise == "WebResourceRequested") {
        StandinRaiseWebResourceRequested(uriOrNull);
    } else if (raise == "NewWindowRequested") {
        StandinRaiseNewWindowRequested(uriOrNull);
    } else if (raise == "PermissionRequested") {
        StandinRaisePermissionRequested(command.value("kind", 0), uriOrNull);
    } else if (raise == "ServerCertificateError") {
        StandinRaiseServerCertificateError(uriOrNull);
    } else if (raise == "CompletePrint") {
        StandinCompletePrint(static_cast<HRESULT>(command.value("errorCode", 0)),
                             command.value("status", 0));
    } else if (raise == "BrowserProcessExited") {
        StandinRaiseBrowserProcessExited();
    } else {
        AppendLogLine({{"event", "UnknownCommand"}, {"command", command}});
    }
}

// New complete lines since the last look; a half-written last line waits for the next.
void ReadNewLines() {
    CommandFile& file = TheFile();
    HANDLE opened = CreateFileW(file.path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return;
    const Win32::UniqueHandle handle(opened);
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(handle.get(), &size) || size.QuadPart <= file.offset) return;
    LARGE_INTEGER start = {};
    start.QuadPart = file.offset;
    if (!SetFilePointerEx(handle.get(), start, nullptr, FILE_BEGIN)) return;
    std::string chunk(static_cast<std::size_t>(size.QuadPart - file.offset), '\0');
    DWORD read = 0;
    if (!ReadFile(handle.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr)) {
        return;
    }
    chunk.resize(read);
    file.offset += read;
    file.pending += chunk;
    std::size_t end = 0;
    while ((end = file.pending.find('\n')) != std::string::npos) {
        const std::string line = file.pending.substr(0, end);
        file.pending.erase(0, end + 1);
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        const nlohmann::json command = nlohmann::json::parse(line, nullptr, false);
        if (command.is_discarded() || !command.is_object()) {
            AppendLogLine({{"event", "UnreadableCommand"}, {"line", line}});
            continue;
        }
        Run(command);
    }
}

void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
    // A handler may open a modal loop (a message box) that dispatches this timer again.
    static bool running = false;
    if (running) return;
    running = true;
    ReadNewLines();
    running = false;
}

}  // namespace

void StartCommandFile() {
    static bool started = false;
    if (started) return;
    const std::string path = SwitchText("ORBIS_STANDIN_COMMANDS");
    if (path.empty()) return;
    started = true;
    TheFile().path = Wide(path);
    SetTimer(nullptr, 0, kPollMilliseconds, Poll);
}

}  // namespace Standin

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "app/url_protocol.h"
#include "common/text.h"

namespace {

namespace fs = std::filesystem;

// An XDG base directory: the variable when it holds an absolute path (relative ones are invalid
// and must be ignored), else $HOME joined with the default.
std::optional<fs::path> BaseDirectory(const char* variable, const char* homeDefault) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') return fs::path(value);
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') return std::nullopt;
    return fs::path(home) / homeDefault;
}

bool WriteAll(int fd, const std::string& content) {
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The file's text; nothing when it does not exist; false when it exists but cannot be read
// (then it must not be overwritten with a text that lost its other entries).
bool ReadExisting(const fs::path& path, std::string& content) {
    content.clear();
    std::error_code error;
    if (!fs::exists(path, error)) return !error;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    content = buffer.str();
    return true;
}

// Readers see the old file or the new one, never a half-written one: a temporary file in the
// same folder, flushed, then renamed over the target. An unchanged file is left alone.
bool WriteAtomically(const fs::path& target, const std::string& content) {
    std::string existing;
    if (ReadExisting(target, existing) && existing == content) return true;
    // A symbolic link (dotfile managers keep mimeapps.list that way) stays a link: write through
    // it to the file it names.
    fs::path destination = target;
    std::error_code error;
    if (fs::is_symlink(target, error)) {
        const fs::path resolved = fs::canonical(target, error);
        if (!error) destination = resolved;
    }
    fs::create_directories(destination.parent_path(), error);
    if (error) return false;

    static std::atomic<unsigned> counter{0};
    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = destination;
        temporary += ".tmp." + std::to_string(getpid()) + "." + std::to_string(counter++);
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    const bool written = WriteAll(fd, content) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (written && closed && rename(temporary.c_str(), destination.c_str()) == 0) return true;
    unlink(temporary.c_str());
    return false;
}

}  // namespace

bool RegisterUrlProtocol(std::u16string_view scheme, std::u16string_view description,
                         std::u16string_view executablePath, std::u16string_view displayName) {
    try {
        const auto dataHome = BaseDirectory("XDG_DATA_HOME", ".local/share");
        const auto configHome = BaseDirectory("XDG_CONFIG_HOME", ".config");
        if (!dataHome || !configHome || scheme.empty() || executablePath.empty()) return false;

        const fs::path executable(Text::Utf16ToUtf8(executablePath));
        const fs::path icon = executable.parent_path() / "resources" / "orbis-campus.png";
        const std::string fileName = DesktopFileName(scheme);
        const std::string entry = BuildDesktopEntry(
            executablePath, Text::Utf8ToUtf16(icon.string()), scheme, description, displayName);
        // Without its desktop entry a default-handler line would point at nothing.
        if (!WriteAtomically(*dataHome / "applications" / fileName, entry)) return false;

        const fs::path mimeapps = *configHome / "mimeapps.list";
        std::string list;
        if (!ReadExisting(mimeapps, list)) return false;
        return WriteAtomically(mimeapps, SetDefaultSchemeHandler(list, scheme, fileName));
    } catch (...) {
        // Allocation or path errors: the registration is retried at the next start.
        return false;
    }
}

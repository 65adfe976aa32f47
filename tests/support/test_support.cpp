#include "support/test_support.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace TestSupport {
namespace fs = std::filesystem;

namespace {

// Unique across the test processes that CTest runs at once, and within one of them.
std::string UniqueFolderName() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return "orbis-test-" + std::to_string(getpid()) + "-" + std::to_string(stamp) + "-" +
           std::to_string(++counter);
}

void PutEnvironment(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
    // An empty value removes the variable.
    _putenv_s(name.c_str(), value ? value->c_str() : "");
#else
    if (value) {
        setenv(name.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name.c_str());
    }
#endif
}

std::string HostPath(const std::string& path) {
#ifdef _WIN32
    if (!path.empty() && path.front() == '/') return "Z:" + path;
#endif
    return path;
}

}  // namespace

TempFolder::TempFolder(const fs::path& leaf)
    : root_(fs::temp_directory_path() / UniqueFolderName()), path_(root_ / leaf) {
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

void TempFolder::Write(const fs::path& relative, std::string_view content) const {
    const fs::path file = path_ / relative;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

ScopedEnvironment::ScopedEnvironment(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) previous_ = old;
    PutEnvironment(name_, value);
}

ScopedEnvironment::~ScopedEnvironment() {
    PutEnvironment(name_, previous_);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(HostPath(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace TestSupport

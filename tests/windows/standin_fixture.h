#pragma once
// What the tests against the stand-in runtime share: where the build put its runtime folders,
// process variables and runtime registrations changed for one test and restored afterwards, a
// message pump that waits for a condition, and a fixture that starts each test from a clean
// state (single-threaded COM apartment, no WEBVIEW2_* or ORBIS_STANDIN_* variable, no runtime
// registered, the stand-in's call log in a file of the test's own).
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace StandinTest {

namespace fs = std::filesystem;

// The two runtime folders: a test can tell from the version which one was used.
extern const std::wstring kCurrentVersion;
extern const std::wstring kOlderVersion;
// The folder whose client library has a version resource with an empty ProductVersion.
extern const std::wstring kEmptyVersionFolder;

inline constexpr wchar_t kStableChannel[] = L"{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";
inline constexpr wchar_t kBetaChannel[] = L"{2CD8A007-E189-409D-A2C8-9AF4EF3C72AA}";
inline constexpr wchar_t kDevChannel[] = L"{0D50BFEC-CD6A-4F9A-964C-C7416E3ACB10}";
inline constexpr wchar_t kCanaryChannel[] = L"{65C35B14-6C1D-4122-AC46-7148CC9D6497}";

fs::path ExecutableFolder();
// The runtime folder named `folder` (a version, or kEmptyVersionFolder), absolute, and as a path
// relative to the executable's folder.
fs::path RuntimeFolder(const std::wstring& folder);
fs::path RuntimeFolderRelativeToExecutable(const std::wstring& folder);
fs::path ClientLibraryOf(const std::wstring& folder);

// A process variable (not the C runtime's copy, which cannot hold an empty value) for one scope.
class ScopedVariable {
  public:
    ScopedVariable(std::wstring name, const std::optional<std::wstring>& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    std::wstring name_;
    std::optional<std::wstring> previous_;
};

// One channel's runtime registration (value EBWebView under the updater's ClientState key) in one
// hive and registry view for one scope: written, or hidden when `folder` is nothing. What was
// there before comes back and the keys it created are removed, so a machine's real registration
// survives the tests.
class ScopedRegistration {
  public:
    ScopedRegistration(HKEY hive, const wchar_t* channel, const std::optional<fs::path>& folder,
                       REGSAM view = KEY_WOW64_32KEY);
    ~ScopedRegistration();
    ScopedRegistration(const ScopedRegistration&) = delete;
    ScopedRegistration& operator=(const ScopedRegistration&) = delete;

  private:
    std::optional<std::wstring> ReadValue() const;
    bool WriteValue(const std::wstring& folder) const;
    void DeleteValue() const;

    HKEY hive_;
    std::wstring path_;
    REGSAM view_;
    std::optional<std::wstring> previous_;
    std::vector<std::wstring> created_;  // deepest first
};

// Dispatches this thread's messages until `done` holds (true) or `limit` has passed (false).
bool PumpMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

class StandinRuntimeTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Both last until the end of the test.
    void Set(const std::wstring& name, const std::optional<std::wstring>& value);
    void Register(HKEY hive, const wchar_t* channel, const std::optional<fs::path>& folder,
                  REGSAM view = KEY_WOW64_32KEY);

    // The stand-in's log so far, one JSON value per call.
    std::vector<nlohmann::json> LogLines() const;

  private:
    TestSupport::TempFolder logFolder_;
    bool comInitialized_ = false;
    std::vector<std::unique_ptr<ScopedVariable>> variables_;
    std::vector<std::unique_ptr<ScopedRegistration>> registrations_;
};

}  // namespace StandinTest

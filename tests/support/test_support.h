#pragma once
// Helpers every test executable shares: private temporary folders, environment variables set for
// one test, whole-file reads.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace TestSupport {

// A fresh folder under the system's temporary folder, removed with everything in it. `leaf`, when
// given, is created inside it and is what path() names (for tests that need a particular folder
// name or depth).
class TempFolder {
  public:
    explicit TempFolder(const std::filesystem::path& leaf = {});
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes `content` to a file below path(), creating the folders on the way.
    void Write(const std::filesystem::path& relative, std::string_view content) const;

  private:
    std::filesystem::path root_;
    std::filesystem::path path_;
};

// Sets an environment variable, or removes it when `value` is nothing, for the life of the object;
// the earlier value (or its absence) comes back afterwards.
class ScopedEnvironment {
  public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    std::string name_;
    std::optional<std::string> previous_;
};

// The whole file, or an empty text when it cannot be read. Under Wine, Linux paths ("/…") are
// reached through the Z: drive.
std::string ReadFile(const std::string& path);

}  // namespace TestSupport

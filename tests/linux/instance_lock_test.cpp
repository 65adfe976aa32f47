#include "app/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/text.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

// Each test takes names of its own: a lock, once held, stays with this process until it ends.
std::u16string UniqueName(const char* label) {
    static int counter = 0;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return u"Local\\ZelvanPlayer.WebView2.test-" + Text::Widen(label) + u"-" +
           Text::Widen(std::to_string(getpid())) + u"-" + Text::Widen(std::to_string(now)) + u"-" +
           Text::Widen(std::to_string(counter++));
}

// A private runtime folder for the test, restored afterwards.
class InstanceLockTest : public ::testing::Test {
  protected:
    const TestSupport::TempFolder runtime_;
    const TestSupport::ScopedEnvironment runtimeVariable_{"XDG_RUNTIME_DIR",
                                                          runtime_.path().string()};
    const fs::path& folder_ = runtime_.path();

    // Runs `AcquireInstanceLock(name)` in a child process and returns what it reported.
    static InstanceLockResult AcquireInChild(const std::u16string& name) {
        const pid_t child = fork();
        if (child == 0) _exit(static_cast<int>(AcquireInstanceLock(name)));
        int status = 0;
        waitpid(child, &status, 0);
        return static_cast<InstanceLockResult>(WEXITSTATUS(status));
    }
};

TEST_F(InstanceLockTest, SecondHolderOfTheSameNameIsRefused) {
    const std::u16string name = UniqueName("same");
    EXPECT_EQ(AcquireInstanceLock(name), InstanceLockResult::Acquired);
    EXPECT_EQ(AcquireInChild(name), InstanceLockResult::AlreadyRunning);
    // This process asking again is refused as well.
    EXPECT_EQ(AcquireInstanceLock(name), InstanceLockResult::AlreadyRunning);
    EXPECT_EQ(AcquireInChild(UniqueName("other")), InstanceLockResult::Acquired);
}

TEST_F(InstanceLockTest, LockFileIsASafeNameInTheRuntimeFolder) {
    const std::u16string name = u"Local\\a/b" + UniqueName("file");
    ASSERT_EQ(AcquireInstanceLock(name), InstanceLockResult::Acquired);
    std::string expected = Text::Utf16ToUtf8(name) + ".lock";
    for (char& c : expected) {
        if (c == '\\' || c == '/') c = '_';
    }
    EXPECT_TRUE(fs::is_regular_file(folder_ / expected)) << expected;
}

TEST_F(InstanceLockTest, LockIsFreedWhenTheHolderDies) {
    const std::u16string name = UniqueName("dies");
    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        close(ready[0]);
        close(release[1]);  // or the end-of-file below never comes
        const char result = static_cast<char>(AcquireInstanceLock(name));
        (void)!write(ready[1], &result, 1);
        char ignored = 0;
        (void)!read(release[0], &ignored, 1);  // hold until the parent says so
        _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    char held = -1;
    const bool reported = read(ready[0], &held, 1) == 1;
    close(ready[0]);
    EXPECT_TRUE(reported);
    EXPECT_EQ(static_cast<InstanceLockResult>(held), InstanceLockResult::Acquired);
    EXPECT_EQ(AcquireInChild(name), InstanceLockResult::AlreadyRunning);

    close(release[1]);  // the holder reads end-of-file and exits without unlocking
    int status = 0;
    waitpid(holder, &status, 0);
    EXPECT_EQ(AcquireInChild(name), InstanceLockResult::Acquired);
}

TEST_F(InstanceLockTest, LockIsNotInheritedByStartedPrograms) {
    const std::u16string name = UniqueName("exec");
    ASSERT_EQ(AcquireInstanceLock(name), InstanceLockResult::Acquired);
    // A program started from here (as a browser helper is) must not carry the lock, or the
    // lock would outlive this process. The shell lists the descriptors it inherited.
    const std::string fdList = (folder_ / "fds").string();
    const std::string command = "ls -l /proc/self/fd/ > '" + fdList + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string listing = TestSupport::ReadFile(fdList);
    EXPECT_NE(listing.find(" -> "), std::string::npos) << listing;  // the listing is real
    EXPECT_EQ(listing.find(".lock"), std::string::npos) << listing;
}

TEST_F(InstanceLockTest, MissingRuntimeFolderFallsBackToTmpPerUser) {
    const std::string missing = (folder_ / "not-there").string();
    const TestSupport::ScopedEnvironment missingFolder("XDG_RUNTIME_DIR", missing);
    const std::u16string name = UniqueName("tmp");
    ASSERT_EQ(AcquireInstanceLock(name), InstanceLockResult::Acquired);
    const fs::path expected = fs::path("/tmp") / (Text::Utf16ToUtf8(name).replace(0, 6, "Local_") +
                                                  "." + std::to_string(getuid()) + ".lock");
    EXPECT_TRUE(fs::is_regular_file(expected)) << expected;
    EXPECT_EQ(AcquireInChild(name), InstanceLockResult::AlreadyRunning);
    std::error_code ignored;
    fs::remove(expected, ignored);
}

TEST_F(InstanceLockTest, UnusableFolderFails) {
    // A directory where the lock file should be: it cannot be opened for writing.
    const std::u16string name = UniqueName("dir");
    fs::create_directories(folder_ / (Text::Utf16ToUtf8(name).replace(0, 6, "Local_") + ".lock"));
    EXPECT_EQ(AcquireInstanceLock(name), InstanceLockResult::Failed);
}

}  // namespace

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/instance_lock.h"
#include "common/text.h"

namespace {

// The per-user runtime folder is private and cleaned at logout, which matches the scope of the
// lock (one process per mode and logon). The /tmp fallback is shared by all users, so the file
// name there carries the user id: another user's process must neither block nor be blocked.
std::filesystem::path LockPath(const std::u16string& name) {
    // The name carries a "Local\" namespace prefix; no separator may reach the file system.
    std::string file = Text::Utf16ToUtf8(name);
    for (char& c : file) {
        if (c == '\\' || c == '/') c = '_';
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') {
        std::error_code error;
        if (std::filesystem::is_directory(runtime, error)) {
            return std::filesystem::path(runtime) / (file + ".lock");
        }
    }
    return std::filesystem::path("/tmp") / (file + "." + std::to_string(getuid()) + ".lock");
}

}  // namespace

InstanceLockResult AcquireInstanceLock(const std::u16string& name) {
    const std::filesystem::path path = LockPath(name);
    // Close-on-exec: a browser helper process started later must not inherit the lock and keep
    // it alive after this process has gone. No symlinks: in /tmp one could point anywhere.
    const int fd = open(path.c_str(), O_CREAT | O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return InstanceLockResult::Failed;
    int result = 0;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        close(fd);
        return error == EWOULDBLOCK ? InstanceLockResult::AlreadyRunning
                                    : InstanceLockResult::Failed;
    }
    // Deliberately never closed: the kernel releases the lock when the process ends, which is
    // exactly the lifetime wanted, even after a crash.
    return InstanceLockResult::Acquired;
}

#include <windows.h>

#include <string>
#include <vector>

#include "app/instance_lock.h"
#include "common/win32_resources_win32.h"

InstanceLockResult AcquireInstanceLock(const std::u16string& name) {
    // Held for the life of the process; Windows drops it when the process ends, however it ends.
    static std::vector<Win32::UniqueHandle> held;
    Win32::UniqueHandle mutex(
        CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t*>(name.c_str())));
    if (!mutex) return InstanceLockResult::Failed;
    if (GetLastError() == ERROR_ALREADY_EXISTS) return InstanceLockResult::AlreadyRunning;
    held.push_back(std::move(mutex));
    return InstanceLockResult::Acquired;
}

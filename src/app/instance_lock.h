#pragma once
// One process per run mode. The start-up sequence takes the lock through a platform operation;
// each platform supplies its own cross-process object (a named mutex on Windows, a lock file
// elsewhere) keyed by the name that BuildInstanceMutexName produces.
#include <string>

enum class InstanceLockResult { Acquired, AlreadyRunning, Failed };

// Takes the lock named `name` and keeps it until the process ends; the operating system drops
// it when the process dies, however it dies. Asking again for a name this process already holds
// reports AlreadyRunning.
InstanceLockResult AcquireInstanceLock(const std::u16string& name);

#include "host/deferred_call_win32.h"

#include <windows.h>

#include <map>
#include <utility>

namespace Win32 {
namespace {

// Pending calls by thread-timer id; the UI thread is the only one that defers.
std::map<UINT_PTR, std::function<void()>> pendingCalls;

void CALLBACK RunPendingCall(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const auto found = pendingCalls.find(id);
    if (found == pendingCalls.end()) return;
    // Out of the table first: the call may defer another one.
    std::function<void()> call = std::move(found->second);
    pendingCalls.erase(found);
    if (call) call();
}

}  // namespace

void RunFromMessageLoop(std::function<void()> call) {
    const UINT_PTR id = SetTimer(nullptr, 0, 0, RunPendingCall);
    if (id == 0) {
        if (call) call();
        return;
    }
    pendingCalls[id] = std::move(call);
}

}  // namespace Win32

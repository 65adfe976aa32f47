#pragma once
// Delivers the stand-in's completions the way the runtime does: later, on the thread that made
// the call, from that thread's message queue (a hidden message-only window of the thread's own).
#include <windows.h>

#include <functional>

namespace Standin {

// Queues `work` for the calling thread; it runs when the thread next dispatches its messages.
// Fails, without running it, when the thread's window cannot be made or the message not posted.
HRESULT PostToCallingThread(std::function<void()> work);

}  // namespace Standin

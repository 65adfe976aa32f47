#pragma once
// Work handed from inside a handler to the thread's message loop, to run once the handler has
// returned: the browser runtime does not support a modal loop (a picker, a box) started inside
// one of its event handlers, whose handlers do not nest.
#include <functional>

namespace Win32 {

// Runs `call` on this thread from its next message dispatch (any loop that dispatches thread
// messages: the application's, a modal dialog's). Runs it at once only when the system refuses
// a timer, as late is better than never.
void RunFromMessageLoop(std::function<void()> call);

}  // namespace Win32

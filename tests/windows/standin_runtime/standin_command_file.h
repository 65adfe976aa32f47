#pragma once
// Commands from outside the process, for tests that run the real executable: ORBIS_STANDIN_COMMANDS
// names a file to which a test appends one JSON object per line, each raising one event the way
// the exported commands do, e.g.
//   {"raise": "NavigationCompleted", "isSuccess": true, "webErrorStatus": 0}
//   {"raise": "NavigationStarting", "uri": "..."}
//   {"raise": "WebMessage", "json": "\"back\"", "text": "back"}
//   {"raise": "WebResourceRequested", "uri": "..."}
//   {"raise": "NewWindowRequested", "uri": "..."}
//   {"raise": "PermissionRequested", "kind": 1, "uri": "..."}
//   {"raise": "ServerCertificateError", "uri": "..."}
//   {"raise": "CompletePrint", "errorCode": 0, "status": 0}
//   {"raise": "BrowserProcessExited"}
// The file is read on the thread that made the first view, from its message loop, so the host's
// handlers run where the runtime would run them. A line is read once it ends with a newline.
namespace Standin {

// Starts reading the file once per process; without the variable it does nothing.
void StartCommandFile();

}  // namespace Standin

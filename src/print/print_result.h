#pragma once
// The one answer a page gets for each print request, as JSON web-message text. Fixed English:
// the platform's pages parse them.
#include <string_view>

namespace Printing {

enum class PrintResult {
    Cancelled,
    EnvironmentFailed,
    SettingsFailed,
    PrinterNameFailed,
    ApiUnavailable,
    CompletedWithError,
    PrinterUnavailable,
    Succeeded,
    UnknownFailure
};

std::u16string_view PrintResultMessage(PrintResult result);

// The browser's print-completed report: a failing error code first, then the print status
// (0 succeeded, 1 printer unavailable, anything else unknown).
PrintResult PrintResultOfCompletion(bool errorCodeFailed, int printStatus);

}  // namespace Printing

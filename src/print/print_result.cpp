#include "print/print_result.h"

namespace Printing {

std::u16string_view PrintResultMessage(PrintResult result) {
    switch (result) {
        case PrintResult::Cancelled:
            return u"{\"type\":\"printResult\",\"status\":\"cancelled\"}";
        case PrintResult::EnvironmentFailed:
            return u"{\"type\":\"printResult\",\"status\":\"error\",\"message\":\"Failed to create "
                   u"print environment\"}";
        case PrintResult::SettingsFailed:
            return u"{\"type\":\"printResult\",\"status\":\"error\",\"message\":\"Failed to create "
                   u"print settings\"}";
        case PrintResult::PrinterNameFailed:
            return u"{\"type\":\"printResult\",\"status\":\"error\",\"message\":\"Failed to set "
                   u"printer name\"}";
        case PrintResult::ApiUnavailable:
            return u"{\"type\":\"printResult\",\"status\":\"error\",\"message\":\"Print API not "
                   u"available\"}";
        case PrintResult::CompletedWithError:
            return u"{\"type\":\"printResult\",\"status\":\"error\",\"message\":\"Print failed. "
                   u"Please check your printer.\"}";
        case PrintResult::PrinterUnavailable:
            return u"{\"type\":\"printResult\",\"status\":\"error\",\"message\":\"The selected "
                   u"printer is unavailable.\"}";
        case PrintResult::Succeeded:
            return u"{\"type\":\"printResult\",\"status\":\"success\",\"message\":\"Print job sent "
                   u"successfully.\"}";
        case PrintResult::UnknownFailure:
            break;
    }
    return u"{\"type\":\"printResult\",\"status\":\"error\",\"message\":\"Print failed with "
           u"unknown error.\"}";
}

PrintResult PrintResultOfCompletion(bool errorCodeFailed, int printStatus) {
    if (errorCodeFailed) return PrintResult::CompletedWithError;
    switch (printStatus) {
        case 0:
            return PrintResult::Succeeded;
        case 1:
            return PrintResult::PrinterUnavailable;
        default:
            return PrintResult::UnknownFailure;
    }
}

}  // namespace Printing

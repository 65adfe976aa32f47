#include "print/print_job_cups.h"

#include <cups/cups.h>

#include <cstring>
#include <memory>

#include "common/text.h"
#include "print/cups_library_cups.h"

namespace Printing {

namespace {

struct DestFree {
    decltype(CupsFunctions::freeDests) freeDests;
    void operator()(cups_dest_t* dest) const { freeDests(1, dest); }
};
using DestPointer = std::unique_ptr<cups_dest_t, DestFree>;

constexpr std::string_view kStoppedState = "5";

bool IsUnavailableStatus(ipp_status_t status) {
    return status == IPP_STATUS_ERROR_NOT_FOUND || status == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS ||
           status == IPP_STATUS_ERROR_PRINTER_IS_DEACTIVATED ||
           status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
}

PrintResult FailureFromLastError(const CupsFunctions& cups) {
    return IsUnavailableStatus(cups.lastError()) ? PrintResult::PrinterUnavailable
                                                 : PrintResult::CompletedWithError;
}

// A stopped queue would still take the job and hold it: the user would wait for paper that never
// comes, so it counts as unavailable before anything is sent.
bool IsReadyForJobs(const CupsFunctions& cups, const cups_dest_t& dest) {
    const char* state = cups.getOption("printer-state", dest.num_options, dest.options);
    const char* accepting =
        cups.getOption("printer-is-accepting-jobs", dest.num_options, dest.options);
    if (state != nullptr && kStoppedState == state) return false;
    return accepting == nullptr || std::strcmp(accepting, "false") != 0;
}

}  // namespace

PrintResult SubmitPdfPrintJob(std::u16string_view printerName, std::string_view pdf,
                              std::u16string_view title) {
    return SubmitPdfPrintJob(ProgramCupsLibrary(), printerName, pdf, title);
}

PrintResult SubmitPdfPrintJob(const CupsLibrary& library, std::u16string_view printerName,
                              std::string_view pdf, std::u16string_view title) {
    if (pdf.empty() || printerName.empty()) return PrintResult::CompletedWithError;
    if (!library.functions) return PrintResult::ApiUnavailable;
    const CupsFunctions& cups = *library.functions;
    const std::string name = Text::Utf16ToUtf8(printerName);
    const std::string jobTitle = Text::Utf16ToUtf8(title);

    const DestPointer dest(cups.getNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr),
                           DestFree{cups.freeDests});
    // Gone, or a server that does not answer: either way the queue cannot print now.
    if (!dest) return PrintResult::PrinterUnavailable;
    if (!IsReadyForJobs(cups, *dest)) return PrintResult::PrinterUnavailable;

    const int job = cups.createJob(CUPS_HTTP_DEFAULT, name.c_str(), jobTitle.c_str(), 0, nullptr);
    if (job == 0) return FailureFromLastError(cups);
    const bool sent =
        cups.startDocument(CUPS_HTTP_DEFAULT, name.c_str(), job, jobTitle.c_str(), CUPS_FORMAT_PDF,
                           1) == HTTP_STATUS_CONTINUE &&
        cups.writeRequestData(CUPS_HTTP_DEFAULT, pdf.data(), pdf.size()) == HTTP_STATUS_CONTINUE;
    if (cups.finishDocument(CUPS_HTTP_DEFAULT, name.c_str()) == IPP_STATUS_OK && sent) {
        return PrintResult::Succeeded;
    }
    const PrintResult failure = FailureFromLastError(cups);
    // Nothing half-sent stays queued.
    cups.cancelJob2(CUPS_HTTP_DEFAULT, name.c_str(), job, 0);
    return failure;
}

}  // namespace Printing

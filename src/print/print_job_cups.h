#pragma once
// Hands a finished PDF to a CUPS queue. Blocking (it talks to the CUPS server): call it off the
// UI thread.
#include <string>
#include <string_view>

#include "print/cups_library_cups.h"
#include "print/print_result.h"

namespace Printing {

// Succeeded once CUPS has accepted the whole document. A queue that is gone, stopped or not
// accepting jobs is PrinterUnavailable; an empty document or any other refusal is
// CompletedWithError.
PrintResult SubmitPdfPrintJob(std::u16string_view printerName, std::string_view pdf,
                              std::u16string_view title);

// The same through the given libcups; one that did not load is ApiUnavailable.
PrintResult SubmitPdfPrintJob(const CupsLibrary& library, std::u16string_view printerName,
                              std::string_view pdf, std::u16string_view title);

}  // namespace Printing

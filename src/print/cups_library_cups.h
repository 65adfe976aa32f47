#pragma once
// The libcups functions printing calls, taken from the library when the printers are first
// listed or a job is first sent (see common/shared_library_posix.h for why it is not linked).
// Typed from libcups's own declarations, so a call through the table is checked as a direct call
// would be.
#include <cups/cups.h>

#include <string_view>

#include "common/shared_library_posix.h"

namespace Printing {

struct CupsFunctions {
    decltype(&cupsGetDests2) getDests2 = nullptr;
    decltype(&cupsFreeDests) freeDests = nullptr;
    decltype(&cupsGetOption) getOption = nullptr;
    decltype(&cupsGetNamedDest) getNamedDest = nullptr;
    decltype(&cupsCreateJob) createJob = nullptr;
    decltype(&cupsStartDocument) startDocument = nullptr;
    decltype(&cupsWriteRequestData) writeRequestData = nullptr;
    decltype(&cupsFinishDocument) finishDocument = nullptr;
    decltype(&cupsCancelJob2) cancelJob2 = nullptr;
    decltype(&cupsLastError) lastError = nullptr;
};

using CupsLibrary = LoadedLibrary<CupsFunctions>;

CupsLibrary LoadCupsLibrary(std::string_view name);

// The program's libcups (ORBIS_LIBCUPS_SONAME), loaded once by the first caller of any thread.
const CupsLibrary& ProgramCupsLibrary();

}  // namespace Printing

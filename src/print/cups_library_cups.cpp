#include "print/cups_library_cups.h"

namespace Printing {

CupsLibrary LoadCupsLibrary(std::string_view name) {
    return LoadSharedLibrary<CupsFunctions>(name, [](auto& library, CupsFunctions& functions) {
        library.Bind(functions.getDests2, "cupsGetDests2");
        library.Bind(functions.freeDests, "cupsFreeDests");
        library.Bind(functions.getOption, "cupsGetOption");
        library.Bind(functions.getNamedDest, "cupsGetNamedDest");
        library.Bind(functions.createJob, "cupsCreateJob");
        library.Bind(functions.startDocument, "cupsStartDocument");
        library.Bind(functions.writeRequestData, "cupsWriteRequestData");
        library.Bind(functions.finishDocument, "cupsFinishDocument");
        library.Bind(functions.cancelJob2, "cupsCancelJob2");
        library.Bind(functions.lastError, "cupsLastError");
    });
}

const CupsLibrary& ProgramCupsLibrary() {
    static const CupsLibrary library = LoadCupsLibrary(ORBIS_LIBCUPS_SONAME);
    return library;
}

}  // namespace Printing

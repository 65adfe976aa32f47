#pragma once
// The CUPS listing of printers through a given libcups; the declarations in printer_filter.h are
// these over the program's own library. One that did not load has no printers and no ports.
#include <vector>

#include "print/cups_library_cups.h"
#include "print/printer_filter.h"

namespace Printing {

PortMonitorMap BuildPortMonitorMap(const CupsLibrary& library);
std::vector<PrinterEntry> EnumeratePhysicalPrinters(const CupsLibrary& library);

}  // namespace Printing

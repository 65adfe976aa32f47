#pragma once
// Which printers the picker offers and in what order. Only printers on physical ports (USB,
// parallel, serial, network, discovered devices) are listed: print-to-file, PDF and similar
// writers would let protected pages leave the machine as files.
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace Printing {

struct PrinterEntry {
    std::u16string name;      // the spooler's name: shown and returned to the caller
    std::u16string portName;  // as reported, also when it lists several ports
    std::u16string driverName;
    bool isDefault = false;
};

// A printer as the spooler reports it, before filtering.
struct SpoolerPrinter {
    std::u16string name;
    std::u16string portName;
    std::u16string driverName;
};

// Port name to port-monitor name, ordinal order of port names.
using PortMonitorMap = std::map<std::u16string, std::u16string>;

// Case-insensitive by lower-casing each UTF-16 unit ('A' to 'Z' only, as the C runtime's default
// locale does).
bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix);
// False for an empty part.
bool ContainsNoCase(std::u16string_view text, std::u16string_view part);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);

bool IsPhysicalPrinterPort(std::u16string_view portName, std::u16string_view monitorName);

// One port record of an enumeration: empty port names are skipped, a later record of the same
// port wins.
void AddPortRecord(PortMonitorMap& ports, std::u16string_view portName,
                   std::u16string_view monitorName);

// Keeps the printers on physical ports (their monitor looked up by exact port name), marks the
// default one (compared without case) and sorts: default first, then ordinal order of names.
std::vector<PrinterEntry> SelectPhysicalPrinters(const std::vector<SpoolerPrinter>& printers,
                                                 const PortMonitorMap& ports,
                                                 std::u16string_view defaultPrinterName);

// Platform side: the spooler's ports and printers (winspool on Windows, CUPS destinations on
// Linux). Any failure gives an empty result, never an error.
PortMonitorMap BuildPortMonitorMap();
std::vector<PrinterEntry> EnumeratePhysicalPrinters();

}  // namespace Printing

// CUPS destinations as the spooler's printers: each queue's device URI becomes the port and
// monitor the physical-port rule judges (see cups_device_port.cpp).
#include "print/printer_enumeration_cups.h"

#include <cups/cups.h>

#include "common/text.h"
#include "print/cups_device_port.h"

namespace Printing {

namespace {

struct Destinations {
    const CupsFunctions& cups;
    cups_dest_t* list = nullptr;
    int count = 0;
    explicit Destinations(const CupsFunctions& functions) : cups(functions) {
        count = cups.getDests2(CUPS_HTTP_DEFAULT, &list);
    }
    ~Destinations() { cups.freeDests(count, list); }
    Destinations(const Destinations&) = delete;
    Destinations& operator=(const Destinations&) = delete;

    // Instances are saved option sets of a queue, not printers of their own.
    template <typename Visit>
    void ForEachQueue(Visit visit) const {
        for (int i = 0; i < count; ++i) {
            if (list[i].name != nullptr && list[i].instance == nullptr) visit(list[i]);
        }
    }
};

std::u16string Option(const CupsFunctions& cups, const cups_dest_t& dest, const char* name) {
    const char* value = cups.getOption(name, dest.num_options, dest.options);
    return value == nullptr ? std::u16string() : Text::Utf8ToUtf16(value);
}

DevicePort PortOf(const CupsFunctions& cups, const cups_dest_t& dest) {
    const char* uri = cups.getOption("device-uri", dest.num_options, dest.options);
    return uri == nullptr ? DevicePort{} : DevicePortFromDeviceUri(uri);
}

}  // namespace

PortMonitorMap BuildPortMonitorMap() {
    return BuildPortMonitorMap(ProgramCupsLibrary());
}

std::vector<PrinterEntry> EnumeratePhysicalPrinters() {
    return EnumeratePhysicalPrinters(ProgramCupsLibrary());
}

PortMonitorMap BuildPortMonitorMap(const CupsLibrary& library) {
    PortMonitorMap ports;
    if (!library.functions) return ports;
    const CupsFunctions& cups = *library.functions;
    Destinations(cups).ForEachQueue([&](const cups_dest_t& dest) {
        const DevicePort port = PortOf(cups, dest);
        AddPortRecord(ports, port.portName, port.monitorName);
    });
    return ports;
}

std::vector<PrinterEntry> EnumeratePhysicalPrinters(const CupsLibrary& library) {
    if (!library.functions) return {};
    const CupsFunctions& cups = *library.functions;
    const Destinations destinations(cups);
    PortMonitorMap ports;
    std::vector<SpoolerPrinter> printers;
    std::u16string defaultName;
    // The default is the user's own (lpoptions) when set, else the server's.
    destinations.ForEachQueue([&](const cups_dest_t& dest) {
        const DevicePort port = PortOf(cups, dest);
        AddPortRecord(ports, port.portName, port.monitorName);
        printers.push_back(SpoolerPrinter{Text::Utf8ToUtf16(dest.name), port.portName,
                                          Option(cups, dest, "printer-make-and-model")});
        if (dest.is_default) defaultName = printers.back().name;
    });
    return SelectPhysicalPrinters(printers, ports, defaultName);
}

}  // namespace Printing

// Device URIs come from the CUPS server (any queue an administrator or a discovery daemon set up)
// and port names from the spooler: arbitrary text that must never crash the picker, and whose
// judgement must not depend on letter case where the rule says it does not.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/text.h"
#include "print/cups_device_port.h"
#include "print/printer_filter.h"

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

std::u16string UpperAscii(std::u16string_view text) {
    std::u16string upper(text);
    for (char16_t& c : upper) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - (u'a' - u'A'));
    }
    return upper;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Printing::DevicePort port = Printing::DevicePortFromDeviceUri(text);
    const bool physical = Printing::IsPhysicalPrinterPort(port.portName, port.monitorName);
    // Virtual devices never get a name that a port rule would take for a device.
    if (!physical) Check(port.monitorName.empty() || port.monitorName == u"Local Port");

    // The port and monitor rules ignore ASCII case.
    const std::u16string wide = Text::Utf8ToUtf16(text);
    const std::size_t half = wide.size() / 2;
    const std::u16string_view portName = std::u16string_view(wide).substr(0, half);
    const std::u16string_view monitorName = std::u16string_view(wide).substr(half);
    Check(Printing::IsPhysicalPrinterPort(portName, monitorName) ==
          Printing::IsPhysicalPrinterPort(UpperAscii(portName), UpperAscii(monitorName)));
    Check(Printing::EqualsNoCase(wide, UpperAscii(wide)));
    return 0;
}

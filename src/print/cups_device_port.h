#pragma once
// CUPS names a printer's connection by a device URI, the Windows spooler by a port and its port
// monitor. Translating the URI into the port and monitor names Windows would report lets the one
// physical-port rule decide on both platforms.
#include <string>
#include <string_view>

namespace Printing {

struct DevicePort {
    std::u16string portName;
    std::u16string monitorName;
};

DevicePort DevicePortFromDeviceUri(std::string_view deviceUri);

}  // namespace Printing

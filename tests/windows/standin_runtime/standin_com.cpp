#include "standin_com.h"

#include <string_view>

#include "standin_log.h"
#include "standin_switches.h"

namespace Standin {

void LogUnimplementedSlot(std::size_t slot) {
    AppendLogLine({{"call", "unimplemented"}, {"slot", slot}});
}

// ORBIS_STANDIN_HIDE lists interface names, separated by commas, that the stand-in then denies
// having: an older runtime, as far as the host can tell.
bool IsHidden(const char* interfaceName) {
    const std::string hidden = SwitchText("ORBIS_STANDIN_HIDE");
    std::string_view rest(hidden);
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        if (rest.substr(0, comma) == interfaceName) return true;
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return false;
}

}  // namespace Standin

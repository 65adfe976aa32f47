// The update-check answer comes from the network: any body must give a result without crashing,
// and the result must stay consistent with itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "update/update_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    for (const double current : {0.0, 4.18, -1.0, 1e308, std::numeric_limits<double>::infinity(),
                                 std::numeric_limits<double>::quiet_NaN()}) {
        const UpdateCheckResult result = EvaluateUpdateAnswer(current, body);
        if (!result.updateAvailable && (result.updateRequired || !result.link.empty())) {
            std::abort();
        }
    }
    return 0;
}

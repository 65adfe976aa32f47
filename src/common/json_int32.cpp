#include "common/json_int32.h"

namespace JsonInt32 {

std::int32_t FromNumber(const nlohmann::json& value) {
    if (value.is_number_unsigned()) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value.get<std::uint64_t>()));
    }
    if (value.is_number_integer()) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value.get<std::int64_t>()));
    }
    const double number = value.get<double>();
    constexpr double kBelowMin = -2147483649.0;
    constexpr double kAboveMax = 2147483648.0;
    if (!(number > kBelowMin && number < kAboveMax)) return INT32_MIN;
    return static_cast<std::int32_t>(number);
}

}  // namespace JsonInt32

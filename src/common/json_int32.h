#pragma once
// A JSON number as the signed 32-bit value the platform's fields stand for: integers keep their
// low 32 bits, floating values are truncated toward zero, and a floating value outside the 32-bit
// range gives INT32_MIN (what the x86 conversion answers) instead of undefined behaviour.
#include <cstdint>
#include <nlohmann/json.hpp>

namespace JsonInt32 {

// `value` must be a number.
std::int32_t FromNumber(const nlohmann::json& value);

}  // namespace JsonInt32

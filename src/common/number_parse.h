#pragma once
// Reading the leading decimal number of a text the way the C library's string-to-double
// conversion does in the classic locale, but independent of the process locale (a GUI toolkit
// may switch it to the user's, where the decimal separator can be a comma).
#include <optional>
#include <string_view>

namespace NumberParse {

// Skips leading white space, accepts a sign, takes the longest leading number and ignores the
// rest ("4.19.2" gives 4.19). Nothing when no number leads the text or it is out of range.
std::optional<double> LeadingDouble(std::string_view text);

}  // namespace NumberParse

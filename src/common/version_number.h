#pragma once
// Reading a product version as the update check compares it.
#include <string_view>

// The leading decimal number of a version text ("4.18.0" gives 4.18); 3.0 when there is none.
double ParseVersionNumber(std::u16string_view version);

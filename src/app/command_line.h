#pragma once
// Choosing the link and the run mode from the command line. Platforms feed the argument list and
// the raw command-line text; the decision lives here.
#include <string>
#include <string_view>
#include <vector>

#include "common/run_mode.h"

struct LinkChoice {
    std::u16string link;
    RunMode mode = RunMode::Init;
};

// `arguments` is the split command line including the program path at index 0;
// `rawCommandLine` is the text the entry point received (without the program path); `scheme` is
// the application's URL scheme.
LinkChoice ChooseLink(const std::vector<std::u16string>& arguments,
                      std::u16string_view rawCommandLine, std::u16string_view scheme);

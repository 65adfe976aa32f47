#pragma once
// The commands pages send the host as web messages, and the one command that changes the
// application record. Which window may run which command is decided here; carrying a command
// out (printing, window styles, history) is the window's business.
#include <string>
#include <string_view>

#include "common/app_record.h"
#include "common/run_mode.h"

enum class WebCommand {
    None,
    Print,
    Home,
    Back,
    Reload,
    InitFullscreen,
    PlayerFullscreen,
    ShowOnce
};

// `text` is the message as the page posted it: the string itself, or the JSON text of anything
// else. Case and length count; unknown texts give None.
WebCommand ClassifyWebMessage(std::u16string_view text, RunMode window);

// Points `baseUrl` at the platform's home base and returns the home address to navigate to.
std::u16string ApplyHomeCommand(AppRecord& record);

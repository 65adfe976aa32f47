#pragma once
// What the tests ask of one creation step, read from the environment at each call so that a test
// can change it between calls:
//   ORBIS_STANDIN_FAIL_<STEP>=0x80004005  the step fails with that HRESULT (decimal works too; a
//                                         value that does not parse fails with E_UNEXPECTED)
//   ORBIS_STANDIN_NEVER_<STEP>=1          the step never completes
// Steps: ENVIRONMENT_CALL (the export's own return value), ENVIRONMENT (the result handed to the
// completion handler), CONTROLLER_CALL and CONTROLLER (the same for the controller), GET_WEBVIEW
// (the controller's view), FILTER and FILTER_KINDS (the request filters; the second fails only
// for a kind list other than all kinds), PRINT_SETTINGS, and EXIT (never: the browser process
// does not end when its controller closes).
// Beside them: ORBIS_STANDIN_HIDE=<interface>,<interface> denies those interfaces, and
// ORBIS_STANDIN_EXIT_DELAY_MS sets how long after Close the browser process ends (default 200).
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace Standin {

struct StepBehaviour {
    std::optional<HRESULT> failure;
    bool neverCompletes = false;
};

StepBehaviour BehaviourOf(std::string_view step);

// The variable's value; empty when it is not set.
std::string SwitchText(const char* name);

}  // namespace Standin

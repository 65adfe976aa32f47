#pragma once
// What the tests ask of one creation step, read from the environment at each call so that a test
// can change it between calls:
//   ORBIS_STANDIN_FAIL_<STEP>=0x80004005  the step fails with that HRESULT (decimal works too; a
//                                         value that does not parse fails with E_UNEXPECTED)
//   ORBIS_STANDIN_NEVER_<STEP>=1          the step never completes
// Steps so far: ENVIRONMENT_CALL (the export's own return value) and ENVIRONMENT (the result
// handed to the completion handler).
#include <windows.h>

#include <optional>
#include <string_view>

namespace Standin {

struct StepBehaviour {
    std::optional<HRESULT> failure;
    bool neverCompletes = false;
};

StepBehaviour BehaviourOf(std::string_view step);

}  // namespace Standin

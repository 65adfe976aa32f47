#pragma once
// The values the runtime would read from an environment options object, through the options
// interfaces only (never through the caller's own type), for the call log.
#include <unknwn.h>
#include <windows.h>

#include <nlohmann/json.hpp>

namespace Standin {

// null for no options object; otherwise one field per value the object answered (a getter that
// fails leaves its field out, an interface the object lacks leaves out all of its fields).
nlohmann::json OptionsValues(IUnknown* options);

}  // namespace Standin

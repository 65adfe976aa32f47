#include "standin_switches.h"

#include <cstdlib>
#include <string>

namespace Standin {
namespace {

std::optional<std::string> Variable(const std::string& name) {
    char value[512] = {};
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetEnvironmentVariableA(name.c_str(), value, sizeof value);
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    if (length >= sizeof value) return std::string("unreadable");
    return std::string(value, length);
}

HRESULT ParseHresult(const std::string& text) {
    if (text.empty()) return E_UNEXPECTED;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
    if (end == nullptr || *end != '\0' || value > 0xFFFFFFFFull) return E_UNEXPECTED;
    return static_cast<HRESULT>(static_cast<unsigned long>(value));
}

}  // namespace

std::string SwitchText(const char* name) {
    return Variable(name).value_or(std::string());
}

StepBehaviour BehaviourOf(std::string_view step) {
    StepBehaviour behaviour;
    const std::string name(step);
    if (const auto failure = Variable("ORBIS_STANDIN_FAIL_" + name)) {
        behaviour.failure = ParseHresult(*failure);
    }
    behaviour.neverCompletes = Variable("ORBIS_STANDIN_NEVER_" + name) == std::string("1");
    return behaviour;
}

}  // namespace Standin

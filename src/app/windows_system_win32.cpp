#include <windows.h>
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

#include <cstring>
#include <memory>

#include "app/windows_system.h"
#include "common/text.h"
#include "tenant_profile.h"

namespace WindowsSystem {
namespace {

struct LocalFreeDeleter {
    void operator()(LPWSTR* p) const { LocalFree(p); }
};

// RTL_OSVERSIONINFOEXW as the version query fills it (size 284).
struct OsVersionRecord {
    ULONG size;
    ULONG major;
    ULONG minor;
    ULONG build;
    ULONG platformId;
    WCHAR servicePack[128];
    USHORT servicePackMajor;
    USHORT servicePackMinor;
    USHORT suiteMask;
    UCHAR productType;
    UCHAR reserved;
};
static_assert(sizeof(OsVersionRecord) == 284);

}  // namespace

std::vector<std::u16string> CommandLineArguments() {
    int count = 0;
    std::unique_ptr<LPWSTR, LocalFreeDeleter> argv(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::u16string> arguments;
    if (!argv) return arguments;
    for (int i = 0; i < count; ++i) {
        arguments.emplace_back(reinterpret_cast<const char16_t*>(argv.get()[i]));
    }
    return arguments;
}

OsVersion QueryOsVersion() {
    OsVersionRecord record{};
    record.size = sizeof record;
    // The module and entry-point names are kept scrambled so the query is not obvious in a dump.
    const std::u16string module = Text::Widen(Tenant::OsVersionModule());
    const std::string function = Tenant::OsVersionFunction();
    if (HMODULE handle = GetModuleHandleW(reinterpret_cast<LPCWSTR>(module.c_str()))) {
        using Query = LONG(WINAPI*)(OsVersionRecord*);
        const FARPROC address = GetProcAddress(handle, function.c_str());
        if (address != nullptr) {
            Query query;
            static_assert(sizeof query == sizeof address);
            std::memcpy(&query, &address, sizeof query);
            if (query(&record) != 0) record = OsVersionRecord{};
        }
    }
    return OsVersion{record.major, record.minor, record.build};
}

}  // namespace WindowsSystem

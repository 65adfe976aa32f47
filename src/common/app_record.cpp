#include "common/app_record.h"

#include "common/text.h"
#include "tenant_profile.h"

AppRecord MakeDefaultAppRecord() {
    AppRecord record;
    record.baseUrl = Text::Widen(Tenant::PortalOrigin());
    return record;
}

AppRecord& App() {
    static AppRecord record = MakeDefaultAppRecord();
    return record;
}

namespace {
// Build the record before the entry point runs, as the rest of start-up assumes it exists.
[[maybe_unused]] const AppRecord& kBuiltAtStart = App();
}  // namespace

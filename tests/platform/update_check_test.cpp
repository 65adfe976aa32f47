// The update check against the demo platform's answers.
#include "update/update_check.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "common/text.h"
#include "support/demo_platform.h"
#include "support/test_support.h"
#include "tenant_profile.h"

namespace {

// ---- CheckForUpdate against the demo platform ----------------------------------------------

std::u16string Scenario(const TestSupport::DemoPlatform& platform, const std::string& name) {
    return Text::Widen(platform.base + (name.empty() ? "" : "/s/" + name));
}

TEST(CheckForUpdate, OptionalUpdateFromThePlatform) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    const std::string path = "/s/update-optional" + Tenant::UpdateCheckPath();
    const int before = TestSupport::LoggedGets(platform, path);
    // A trailing slash on the base is dropped before the path is appended.
    const UpdateCheckResult r =
        CheckForUpdate(4.18, Scenario(platform, "update-optional") + u"/", u"");
    EXPECT_TRUE(r.updateAvailable);
    EXPECT_FALSE(r.updateRequired);
    EXPECT_EQ(r.link, u"https://download.zelvan.test/desktop/orbiscampus/orbiscampus.exe");
    EXPECT_GT(TestSupport::LoggedGets(platform, path), before);
}

TEST(CheckForUpdate, MandatoryUpdateFromThePlatform) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    const UpdateCheckResult r = CheckForUpdate(4.18, Scenario(platform, "update-mandatory"), u"");
    EXPECT_TRUE(r.updateAvailable);
    EXPECT_TRUE(r.updateRequired);
    EXPECT_EQ(r.link, u"https://download.zelvan.test/desktop/orbiscampus/orbiscampus.exe");
    // Already at the announced version: nothing to do.
    EXPECT_FALSE(CheckForUpdate(5.0, Scenario(platform, "update-mandatory"), u"").updateAvailable);
}

TEST(CheckForUpdate, CurrentVersionOfThePlatformIsNoUpdate) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    EXPECT_FALSE(CheckForUpdate(4.18, Scenario(platform, ""), u"").updateAvailable);
    const UpdateCheckResult older = CheckForUpdate(4.1, Scenario(platform, ""), u"");
    EXPECT_TRUE(older.updateAvailable);
    EXPECT_FALSE(older.updateRequired);
    EXPECT_TRUE(older.link.empty());
}

TEST(CheckForUpdate, EmptyBaseUsesTheBuiltInAddress) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    // The test tenant's built-in address points at the platform's usual port, which the fixture
    // only gets when nothing else holds it.
    const std::string builtIn = Tenant::DefaultUpdateCheckUrl();
    if (builtIn != platform.base + Tenant::UpdateCheckPath()) {
        GTEST_SKIP() << "the demo platform is not on the built-in port";
    }
    const int before = TestSupport::LoggedGets(platform, Tenant::UpdateCheckPath());
    EXPECT_TRUE(CheckForUpdate(4.0, u"", u"").updateAvailable);
    EXPECT_FALSE(CheckForUpdate(4.18, u"", u"").updateAvailable);
    // Other tests may ask the same path at the same time (ctest -j): at least these two arrived.
    EXPECT_GE(TestSupport::LoggedGets(platform, Tenant::UpdateCheckPath()), before + 2);
}

TEST(CheckForUpdate, FailuresMeanNoUpdate) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    for (const char* scenario : {"update-500", "update-not-json"}) {
        const UpdateCheckResult r = CheckForUpdate(0.0, Scenario(platform, scenario), u"");
        EXPECT_FALSE(r.updateAvailable) << scenario;
        EXPECT_TRUE(r.link.empty()) << scenario;
    }
    const std::u16string nobody =
        Text::Widen("http://127.0.0.1:" + std::to_string(TestSupport::UnusedLoopbackPort()));
    EXPECT_FALSE(CheckForUpdate(0.0, nobody, u"").updateAvailable);
}

}  // namespace

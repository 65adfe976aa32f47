#pragma once
// The demo platform that the CTest fixture starts for the tests in tests/platform/.
#include <string>

namespace TestSupport {

struct DemoPlatform {
    std::string base;     // "http://127.0.0.1:PORT"
    std::string tlsBase;  // "https://127.0.0.1:PORT", a listener with a self-signed certificate
    std::string logPath;  // JSON lines, one per request the platform saw
};

// The running demo platform; fails the calling test when the fixture is not up, because every
// test of this executable exists to talk to it.
bool FindDemoPlatform(DemoPlatform& platform);

// How many GET requests for `path` the platform has logged so far.
int LoggedGets(const DemoPlatform& platform, const std::string& path);

// A loopback port on which nothing listens.
int UnusedLoopbackPort();

}  // namespace TestSupport

#define ORBIS_REQUIRE_DEMO_PLATFORM(var)                                            \
    ::TestSupport::DemoPlatform var;                                                \
    if (!::TestSupport::FindDemoPlatform(var))                                      \
    GTEST_FAIL() << "the demo platform fixture is not running (run through CTest, " \
                    "which starts it)"

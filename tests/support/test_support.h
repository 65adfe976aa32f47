#pragma once
// Helpers for tests that talk to the demo platform started by the CTest fixture.
#include <optional>
#include <string>

namespace TestSupport {

struct DemoPlatform {
    std::string base;     // "http://127.0.0.1:PORT"
    std::string tlsBase;  // "https://127.0.0.1:PORT", a listener with a self-signed certificate
    std::string logPath;  // JSON lines, one per request the platform saw
};

// The running demo platform, or nothing when the fixture is not up (the caller skips).
std::optional<DemoPlatform> FindDemoPlatform();

// A loopback port on which nothing listens.
int UnusedLoopbackPort();

std::string ReadFile(const std::string& path);

}  // namespace TestSupport

#define ORBIS_REQUIRE_DEMO_PLATFORM(var)                                      \
    const auto var##_found = ::TestSupport::FindDemoPlatform();               \
    if (!var##_found) GTEST_SKIP() << "demo platform fixture is not running"; \
    const auto& var = *var##_found

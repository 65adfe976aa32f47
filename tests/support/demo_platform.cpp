#include "support/demo_platform.h"

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/test_support.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace TestSupport {

int LoggedGets(const DemoPlatform& platform, const std::string& path) {
    std::istringstream lines(ReadFile(platform.logPath));
    int count = 0;
    for (std::string line; std::getline(lines, line);) {
        const auto entry = nlohmann::json::parse(line, nullptr, false);
        if (entry.is_object() && entry.value("method", "") == "GET" &&
            entry.value("path", "") == path) {
            ++count;
        }
    }
    return count;
}

bool FindDemoPlatform(DemoPlatform& platform) {
    const char* file = std::getenv("ORBIS_DEMO_PLATFORM_FILE");
    if (file == nullptr || *file == '\0') return false;
    const auto state = nlohmann::json::parse(ReadFile(file), nullptr, false);
    if (!state.is_object() || !state.contains("base")) return false;
    platform.base = state.value("base", "");
    platform.tlsBase = state.value("tls_base", "");
    platform.logPath = state.value("log", "");
#ifdef _WIN32
    if (!platform.logPath.empty() && platform.logPath.front() == '/') {
        platform.logPath = "Z:" + platform.logPath;
    }
#endif
    return true;
}

int UnusedLoopbackPort() {
#ifdef _WIN32
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    using Socket = SOCKET;
#else
    using Socket = int;
#endif
    Socket s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    const int port = ntohs(address.sin_port);
#ifdef _WIN32
    closesocket(s);
#else
    close(s);
#endif
    return port;
}

}  // namespace TestSupport

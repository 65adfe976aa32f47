#include "support/test_support.h"

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

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
namespace {

// Under Wine the fixture's Linux paths are reached through the Z: drive.
std::string HostPath(const std::string& path) {
#ifdef _WIN32
    if (!path.empty() && path.front() == '/') return "Z:" + path;
#endif
    return path;
}

}  // namespace

std::string ReadFile(const std::string& path) {
    std::ifstream in(HostPath(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<DemoPlatform> FindDemoPlatform() {
    const char* file = std::getenv("ORBIS_DEMO_PLATFORM_FILE");
    if (file == nullptr || *file == '\0') return std::nullopt;
    const auto state = nlohmann::json::parse(ReadFile(file), nullptr, false);
    if (!state.is_object() || !state.contains("base")) return std::nullopt;
    DemoPlatform platform;
    platform.base = state.value("base", "");
    platform.tlsBase = state.value("tls_base", "");
    platform.logPath = HostPath(state.value("log", ""));
    return platform;
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

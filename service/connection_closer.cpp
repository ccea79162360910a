#include "service/connection_closer.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdlib>
#include <cstring>

namespace qarvel::service {
namespace {

bool sameEndpoint(const sockaddr_storage& a, const std::string& address, int port) {
    char text[INET6_ADDRSTRLEN] = {};
    int p = -1;
    if (a.ss_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&a);
        inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
        p = ntohs(in->sin_port);
    } else if (a.ss_family == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&a);
        inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof text);
        p = ntohs(in6->sin6_port);
    } else {
        return false;
    }
    return p == port && address == text;
}

int portOf(const sockaddr_storage& a) {
    if (a.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in*>(&a)->sin_port);
    if (a.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6*>(&a)->sin6_port);
    return -1;
}

}  // namespace

bool shutDownConnection(int localPort, const std::string& remoteAddress, int remotePort) {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return false;
    bool done = false;
    while (const dirent* entry = readdir(dir)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == dirfd(dir)) continue;
        sockaddr_storage local{}, peer{};
        socklen_t localLen = sizeof local, peerLen = sizeof peer;
        if (getsockname(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&local), &localLen) != 0) continue;
        if (portOf(local) != localPort) continue;
        if (getpeername(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&peer), &peerLen) != 0) continue;
        if (!sameEndpoint(peer, remoteAddress, remotePort)) continue;
        done = shutdown(static_cast<int>(fd), SHUT_RDWR) == 0;
        break;
    }
    closedir(dir);
    return done;
}

}  // namespace qarvel::service

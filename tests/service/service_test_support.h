#pragma once
// Helpers for the demo service's tests: fetching over loopback, raw requests,
// and cutting links the way the client's link protocol cuts them.
#include "service/demo_service.h"
#include "support/loopback_socket.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace qarvel::service::test {

inline std::string mediaDir() { return QARVEL_TEST_MEDIA; }

// A service with the control interface, as the stand-alone service runs.
inline Options controlledOptions(int port = 0) {
    Options options{"127.0.0.1", port, mediaDir()};
    options.controlRoutes = true;
    return options;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + separator.size();
    }
}

// The client's rule: remove every occurrence of the scheme, then one trailing
// "/", then split on the separator.
inline std::vector<std::string> cutLink(std::string link, const std::string& scheme, const std::string& separator) {
    for (size_t at; (at = link.find(scheme)) != std::string::npos;) link.erase(at, scheme.size());
    if (!link.empty() && link.back() == '/') link.pop_back();
    return split(link, separator);
}

// Values of href="..." attributes that start with prefix, with "&amp;" read back as "&".
inline std::vector<std::string> hrefs(const std::string& html, const std::string& prefix) {
    std::vector<std::string> found;
    const std::string marker = "href=\"" + prefix;
    for (size_t at = html.find(marker); at != std::string::npos; at = html.find(marker, at + 1)) {
        const size_t start = at + 6;
        std::string value = html.substr(start, html.find('"', start) - start);
        for (size_t amp; (amp = value.find("&amp;")) != std::string::npos;) value.replace(amp, 5, "&");
        found.push_back(value);
    }
    return found;
}

struct Fetched {
    bool ok = false;  // a response arrived
    int status = 0;
    std::string body;
    httplib::Headers headers;
    std::string header(const std::string& name) const {
        const auto it = headers.find(name);
        return it == headers.end() ? std::string() : it->second;
    }
};

inline Fetched get(int port, const std::string& path, const httplib::Headers& headers = {}) {
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(20, 0);
    Fetched f;
    if (auto res = client.Get(path, headers)) {
        f.ok = true;
        f.status = res->status;
        f.body = res->body;
        f.headers = res->headers;
    }
    return f;
}

inline Fetched post(int port, const std::string& path, const std::string& body = std::string(),
                    const httplib::Headers& headers = {}) {
    httplib::Client client("127.0.0.1", port);
    Fetched f;
    if (auto res = client.Post(path, headers, body, "text/plain")) {
        f.ok = true;
        f.status = res->status;
        f.body = res->body;
    }
    return f;
}

// True once raw holds a whole answer whose body has the length it declares.
inline bool completeAnswer(const std::string& raw) {
    const size_t end = raw.find("\r\n\r\n");
    const size_t field = raw.find("Content-Length: ");
    if (end == std::string::npos || field == std::string::npos || field > end) return false;
    return raw.size() - end - 4 >= std::stoul(raw.substr(field + 16));
}

using qarvel::test::connectTo;

// Reads what the peer sends until an answer is complete (its head only when
// headOnly), the peer closes, or timeoutMs pass without a byte.
inline std::string readAnswer(int fd, bool headOnly = false, int timeoutMs = 10000) {
    std::string response;
    char buffer[65536];
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, timeoutMs) > 0) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        response.append(buffer, static_cast<size_t>(n));
        if (!headOnly && completeAnswer(response)) break;
    }
    return response;
}

// Sends bytes as they are and reads until the answer is complete, the peer
// closes, or 10 s pass.
inline std::string rawExchange(int port, const std::string& request) {
    const int fd = connectTo(port);
    std::string response;
    if (fd >= 0 && send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size()))
        response = readAnswer(fd, request.rfind("HEAD ", 0) == 0);
    if (fd >= 0) close(fd);
    return response;
}

inline int statusOf(const std::string& rawResponse) {
    return rawResponse.size() > 12 ? std::atoi(rawResponse.substr(9, 3).c_str()) : 0;
}

}  // namespace qarvel::service::test

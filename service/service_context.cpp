#include "service/service_context.h"

#include "common/build_config.h"

namespace qarvel::service {
namespace {

bool isWildcard(const std::string& host) { return host.empty() || host == "0.0.0.0" || host == "::"; }

// A Host header fit to be written into pages: a name or address and a port.
bool isPlainHost(const std::string& value) {
    if (value.empty() || value.size() > 255) return false;
    for (const char c : value) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                        c == '-' || c == ':' || c == '[' || c == ']';
        if (!ok) return false;
    }
    return true;
}

}  // namespace

std::string ServiceContext::base() const {
    std::string shown = isWildcard(host) ? std::string("127.0.0.1") : host;
    if (shown.find(':') != std::string::npos && shown.front() != '[') shown = "[" + shown + "]";
    return "http://" + shown + ":" + std::to_string(port.load()) + config::kBasePath;
}

std::string ServiceContext::baseForHost(const std::string& hostHeader) const {
    if (isWildcard(host) && isPlainHost(hostHeader)) return "http://" + hostHeader + config::kBasePath;
    return base();
}

}  // namespace qarvel::service

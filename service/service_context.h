#pragma once
// Everything the routes of one running demo service share: the catalogue, the
// media folder, the switches tests set and the signal that ends waits at stop.
#include "service/catalogue.h"
#include "service/fault.h"
#include "service/media_library.h"
#include "service/ping_counter.h"
#include "service/stop_signal.h"
#include "service/text_files.h"

#include <atomic>
#include <string>

namespace qarvel::service {

struct ServiceContext {
    explicit ServiceContext(std::string mediaDir, std::string host)
        : media(std::move(mediaDir)), host(std::move(host)) {}

    const Catalogue& catalogue = Catalogue::demo();
    MediaLibrary media;
    FaultBoard faults;
    PingCounter pings;
    TextFiles texts;
    StopSignal stop;
    std::string host;
    std::atomic<int> port{0};

    // "http://HOST:PORT/box/"; a wildcard host shows as the loopback address.
    std::string base() const;
    // Base address for pages sent in answer to a request with this Host header:
    // the configured one unless the service listens on every address.
    std::string baseForHost(const std::string& hostHeader) const;
    void reset() {
        faults.reset();
        pings.reset();
        texts.reset();
    }
};

}  // namespace qarvel::service

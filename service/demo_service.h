#pragma once
// The demo service: a real HTTP service with every endpoint the client uses, a
// demo catalogue and media. `qarvel --demo` runs it in-process; the program
// `qarvel-service` runs it alone; tests start it on a free loopback port.
//
// Tests switch faults per endpoint, read the usage pings and replace the control
// and notice files, either in-process through this class or over HTTP through
// the control interface (loopback clients only, none from a web page of another
// site, and only when Options::controlRoutes is set; changes are POST requests):
//   POST /control/fault?endpoint=E&answer=normal|status|zero|one|garbage|huge|close
//                      &status=N&delay=MS&cut=BYTES&rate=BYTES_PER_SECOND
//   POST /control/clear?endpoint=E          POST /control/reset
//   GET  /control/pings[?id=ID]             GET  /control/requests?endpoint=E
//   GET|POST /control/text?name=lib/wen.txt (POST body: the new text in UTF-8)
// POST requests must carry a Content-Length, even an empty body (curl -d '').
// The HTTP library sets SIGPIPE to ignored for the whole process when a service
// is constructed, so that a peer going away ends only its own answer.
// Endpoint names are the constants of service/fault.h (the path under the base
// without the query; the base page is ""; "seed", "media" and "img" cover all
// files under them).
#include "service/fault.h"
#include "common/request_limits.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qarvel::service {

struct Options {
    std::string host = "127.0.0.1";
    int port = 0;          // 0 = pick a free port
    std::string mediaDir;  // empty = default media folder
    RequestLimits limits = {};
    // The control interface under "/control/": for tests and the stand-alone
    // service, never for the one inside the client.
    bool controlRoutes = false;
};

class DemoService {
public:
    explicit DemoService(Options options = {});
    ~DemoService();  // stops
    DemoService(const DemoService&) = delete;
    DemoService& operator=(const DemoService&) = delete;

    // Binds and serves on its own threads; false with a message in errorText() on failure.
    // Calling it while running does nothing and returns true.
    bool start();
    // Ends every pending delay, closes the listening socket and waits for the
    // request threads. Safe to call more than once, and without start().
    void stop();
    bool isRunning() const;
    int port() const;
    std::string baseUrl() const;  // "http://127.0.0.1:PORT/box/"
    std::string errorText() const;

    // Fault switches (same effect as POST /control/fault). A fault whose values are
    // out of range (see isValidFault) is refused with false; Fault() clears.
    bool setFault(const std::string& endpoint, const Fault& fault);
    void clearFault(const std::string& endpoint);
    // Number of requests that reached an endpoint, faulted or not; a file under
    // "seed", "media" or "img" is also counted by its own path ("seed/H/N.mp4").
    int requestCount(const std::string& endpoint) const;
    // Usage pings received per user identifier ("tj/tj.asp?id=").
    int pingCount(const std::string& id) const;
    std::map<std::string, int> pingCounts() const;
    // Replaces "lib/wen.txt", "lib/gun.txt" or "lib/tan.txt" (UTF-8 here, served as GBK);
    // false for any other name.
    bool setTextFile(const std::string& name, const std::string& utf8);
    // The text a file now has (the default one is built from the base address).
    std::string textFile(const std::string& name) const;
    // Clears faults, request and ping counts, and restores the default files.
    void reset();

    std::string mediaDir() const;
    // Clips the catalogue names that are not in the media folder.
    std::vector<std::string> missingMedia() const;
    // Logs each of them, for a person who runs the service to see.
    void reportMissingMedia() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qarvel::service

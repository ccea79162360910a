#pragma once
// The endpoints of the demo service under the base path, and the control
// interface for tests under "/control/" (only when asked for: it rewrites the
// service's files and faults), installed on an HTTP server. The control
// interface answers loopback clients without a foreign "Origin" only, so a
// web page cannot reach it through the browser.
#include "service/reply.h"
#include "service/service_context.h"

#include <httplib.h>

#include <functional>
#include <map>
#include <string>

namespace qarvel::service {

class HttpRoutes {
public:
    HttpRoutes(ServiceContext& context, bool controlRoutes);
    void install(httplib::Server& server);

    // Largest request body the control interface takes.
    static constexpr size_t kMaxBody = 1 << 20;

private:
    struct Request {
        const httplib::Request& http;
        std::string path;   // under the base path, no query
        std::string query;  // raw text after "?"
        std::string base;   // base address for links in the answer
    };
    using Route = std::function<Reply(const Request&)>;

    httplib::Server::HandlerResponse screen(const httplib::Request& req, httplib::Response& res);
    void serveBox(const httplib::Request& req, httplib::Response& res);
    void serveControl(const httplib::Request& req, httplib::Response& res);

    Reply home(const Request& r);
    Reply playRequest(const Request& r);
    Reply episodeList(const Request& r);
    Reply webPlayer(const Request& r);
    Reply tvChannel(const Request& r);
    Reply ping(const Request& r);
    Reply textFile(const Request& r);
    Reply installer(const Request& r);
    Reply seed(const Request& r);
    Reply media(const Request& r);
    Reply poster(const Request& r);
    Reply fileReply(const httplib::Request& http, const MediaFile& file);
    Reply faultAnswer(const Fault& fault, const httplib::Request& http);

    Reply controlFault(const httplib::Request& req);

    ServiceContext& ctx_;
    bool controlRoutes_;
    std::map<std::string, Route> routes_;  // exact paths
};

}  // namespace qarvel::service

// qarvel-service: the demo service on its own, until SIGINT or SIGTERM.
#include "common/build_config.h"
#include "service/demo_service.h"
#include "service/play_exchange.h"

#include <signal.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

void usage(std::FILE* out) {
    std::fprintf(out,
                 "Usage: qarvel-service [--port N] [--host ADDRESS] [--media DIR]\n"
                 "Serves the demo catalogue of %s at http://ADDRESS:N/box/.\n"
                 "  --port N        port to listen on (default %d; 0 picks a free one)\n"
                 "  --host ADDRESS  address to listen on (default 127.0.0.1)\n"
                 "  --media DIR     folder of the demo clips (default: the one the build made)\n"
                 "  --help          show this text\n"
                 "Tests control it under /control/ (loopback clients only).\n",
                 qarvel::config::kProgramName, qarvel::config::kDefaultServicePort);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "qarvel-service: %s\n", message.c_str());
    usage(stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    qarvel::service::Options options;
    options.port = qarvel::config::kDefaultServicePort;
    // The stand-alone service is for trying and testing the client: faults and
    // files are switched over HTTP.
    options.controlRoutes = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        }
        const bool takesValue = arg == "--port" || arg == "--host" || arg == "--media";
        if (!takesValue) return fail("unknown option: " + std::string(arg));
        if (i + 1 >= argc) return fail(std::string(arg) + " needs a value");
        const std::string value = argv[++i];
        if (arg == "--port") {
            const auto port = qarvel::service::parseIndex(value);
            if (!port || *port > 65535) return fail("not a port number: " + value);
            options.port = *port;
        } else if (arg == "--host") {
            if (value.empty()) return fail("empty host");
            options.host = value;
        } else {
            options.mediaDir = value;
        }
    }

    // Wait for the end signals in this thread; the service's threads inherit the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    qarvel::service::DemoService service(options);
    if (!service.start()) {
        std::fprintf(stderr, "qarvel-service: %s\n", service.errorText().c_str());
        return 1;
    }
    service.reportMissingMedia();
    std::printf("qarvel-service: serving %s\n", service.baseUrl().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    service.stop();
    return 0;
}

// soaptestserver: both services of the client-services library on a local port, answering from
// a fixture folder, so a person can try the library (or a host program) without the real
// servers. Point the library at it with VGLSVS_CONNECT_TO=127.0.0.1:PORT.

#include "tools/soaptestserver/ServiceTestServer.h"

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: soaptestserver [--port N] [--fixtures FOLDER] [--fault KIND[=N]]\n"
                 "  KIND: http-error[=STATUS] soap-fault bad-fault malformed wrong-namespace\n"
                 "        empty-result nil-result missing-result truncated hang oversize=BYTES\n"
                 "        wrong-key lower-case-hex status=NUMBER not-a-document\n");
    return 2;
}

bool ParseFault(std::string_view text, ServerFault& fault) {
    using Kind = ServerFault::Kind;
    static const std::map<std::string_view, Kind> kinds = {
        {"http-error", Kind::HttpError},
        {"soap-fault", Kind::SoapFault},
        {"bad-fault", Kind::BadFault},
        {"malformed", Kind::MalformedEnvelope},
        {"wrong-namespace", Kind::WrongNamespace},
        {"empty-result", Kind::EmptyResult},
        {"nil-result", Kind::NilResult},
        {"missing-result", Kind::MissingResult},
        {"truncated", Kind::Truncated},
        {"hang", Kind::Hang},
        {"oversize", Kind::Oversize},
        {"wrong-key", Kind::WrongKey},
        {"lower-case-hex", Kind::LowerCaseHex},
        {"status", Kind::Status},
        {"not-a-document", Kind::NotADocument},
    };
    const std::size_t equals = text.find('=');
    const auto found = kinds.find(text.substr(0, equals));
    if (found == kinds.end()) {
        return false;
    }
    fault.kind = found->second;
    if (equals != std::string_view::npos) {
        const long value = std::strtol(std::string(text.substr(equals + 1)).c_str(), nullptr, 10);
        fault.httpStatus = static_cast<int>(value);
        fault.status = static_cast<int>(value);
        fault.size = value > 0 ? static_cast<std::size_t>(value) : 0;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int port = 8080;
    std::string fixtures = SOAPTESTSERVER_FIXTURES;
    ServerFault fault;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--port" && i + 1 < argc) {
            port = std::atoi(argv[++i]);
        } else if (argument == "--fixtures" && i + 1 < argc) {
            fixtures = argv[++i];
        } else if (argument == "--fault" && i + 1 < argc) {
            if (!ParseFault(argv[++i], fault)) {
                return Usage();
            }
        } else {
            return Usage();
        }
    }

    // The signals are taken by this thread alone, so the server's threads never see them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    ServiceTestServer server;
    std::string error;
    if (!LoadFixtureFolder(fixtures, server, error)) {
        std::fprintf(stderr, "soaptestserver: %s\n", error.c_str());
        return 1;
    }
    server.SetFault(fault);
    server.SetLog([](const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    });
    if (!server.Start(port)) {
        std::fprintf(stderr, "soaptestserver: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    std::printf("soaptestserver: listening on %s with the fixtures of %s\n"
                "point the library at it with VGLSVS_CONNECT_TO=%s; Ctrl-C ends it\n",
                server.BaseUrl().c_str(), fixtures.c_str(), server.Address().c_str());
    std::fflush(stdout);
    int received = 0;
    sigwait(&signals, &received);
    server.Stop();
    for (const std::string& problem : server.Problems()) {
        std::printf("problem: %s\n", problem.c_str());
    }
    return 0;
}

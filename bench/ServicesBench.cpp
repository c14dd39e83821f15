#include "platform/com/Bstr.h"
#include "services/RequestCodec.h"
#include "services/ServiceClients.h"
#include "tools/soaptestserver/ServiceTestServer.h"

#include <benchmark/benchmark.h>

#include <random>
#include <stdexcept>
#include <string>

namespace {

const std::string kKey = "ORVEX-TEST-KEY-7";

// A 64 KB scores document: the size of a generous answer.
std::string ScoresDocument() {
    std::mt19937 random(6102);
    std::string document = "<scores><id>7</id><alltime>";
    const std::string end = "</alltime></scores>";
    while (document.size() < 64 * 1024) {
        document += "<score><name>Player" + std::to_string(random() % 10000) +
                    "</name><description>Harbour</description><value>" +
                    std::to_string(random() % 1000000) + "</value><mode>1</mode></score>";
    }
    document.resize(64 * 1024 - end.size());
    document += end;
    return document;
}

void EncryptPayload64K(benchmark::State& state) {
    const std::string document = ScoresDocument();
    const RequestCodec codec;
    std::string hex;
    for (auto _ : state) {
        codec.EncryptPayload(kKey, document, hex);
        benchmark::DoNotOptimize(hex.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.size()));
}
BENCHMARK(EncryptPayload64K);

void DecryptPayload64K(benchmark::State& state) {
    const std::string document = ScoresDocument();
    const RequestCodec codec;
    std::string hex;
    codec.EncryptPayload(kKey, document, hex);
    std::string plain;
    for (auto _ : state) {
        codec.DecryptPayload(kKey, hex, plain);
        benchmark::DoNotOptimize(plain.data());
    }
    if (plain != document) {
        state.SkipWithError("the document did not come back");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.size()));
}
BENCHMARK(DecryptPayload64K);

// One synchronous score-list call to the loopback server: envelope, HTTP over a new
// connection, the server's checks and encryption, the answer's parsing.
void ScoreListRoundTrip(benchmark::State& state) {
    ServiceTestServer server;
    server.AddGame({7, kKey, "", "", "<scores><id>7</id><alltime></alltime></scores>", ""});
    if (!server.Start()) {
        state.SkipWithError("the loopback server cannot start");
        return;
    }
    const RequestCodec codec;
    const Bstr request =
        Bstr::FromNarrow(codec.BuildGetListRequest(kKey, 7, 10, "player@orvex.invalid", "secret"));
    for (auto _ : state) {
        ScoreServiceClient client;
        client.SetConnectTo(server.Address());
        Bstr answer;
        if (client.func1(request.Get(), answer.Put()) != S_OK) {
            state.SkipWithError("the call failed");
            break;
        }
        benchmark::DoNotOptimize(answer.Get());
    }
}
BENCHMARK(ScoreListRoundTrip)->Unit(benchmark::kMicrosecond);

} // namespace

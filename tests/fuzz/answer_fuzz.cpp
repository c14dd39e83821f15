// Feeds arbitrary bytes to the tag reader as every document of the services: answers, scores
// documents and content documents, plain and as the payload of an answer.
#include "services/ContentParsers.h"
#include "services/RequestCodec.h"
#include "services/ScoresParser.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ScoresParser scores;
    scores.Parse(text);
    ContentAnswerParser answer;
    answer.Parse(text);
    ContentListParser content;
    content.Parse(text);

    std::string plain;
    if (RequestCodec().DecryptPayload("ORVEX-TEST-KEY-7", scores.Data(), plain) == S_OK) {
        ScoresParser inner;
        inner.Parse(plain);
    }
    return 0;
}

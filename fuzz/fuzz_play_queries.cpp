// The queries of the episode-list and web-player pages on arbitrary text.
#include "fuzz_text_support.h"
#include "service/play_exchange.h"

using namespace qarvel::fuzz;
using namespace qarvel::service;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = viewOf(data, size);
    if (const auto q = parseEpisodeListQuery(text)) {
        require(q->id >= 0 && q->source >= 0 && q->episode >= 0);
        require(!q->startKey.empty());
        for (const char c : q->startKey) require(c >= '0' && c <= '9');
    }
    if (const auto q = parseWebPlayerQuery(text))
        require(q->address.rfind("http://", 0) == 0 || q->address.rfind("https://", 0) == 0);
    if (const auto n = parseIndex(text)) require(*n >= 0 && !text.empty());
    return 0;
}

// Content-Range on arbitrary header values: an accepted range is ordered and
// lies inside the total it names.
#include "engine/cache/http_range.h"
#include "fuzz_text_support.h"

using namespace qarvel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto range = qarvel::engine::parseContentRange(bytesOf(data, size));
    if (!range) return 0;
    require(range->first >= 0 && range->first <= range->last);
    require(range->total == -1 || range->total > range->last);
    return 0;
}

// The service's Range header on arbitrary text and sizes: a part always lies
// inside what is served.
#include "fuzz_text_support.h"
#include "service/byte_range.h"

#include <cstring>

using namespace qarvel::fuzz;
using qarvel::service::ByteRange;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::uint64_t served = 0;
    if (size >= sizeof served) {
        std::memcpy(&served, data, sizeof served);
        data += sizeof served;
        size -= sizeof served;
    }
    // Small sizes as well as huge ones.
    for (const std::uint64_t s : {served, served % 4096}) {
        const ByteRange r = qarvel::service::resolveByteRange(viewOf(data, size), s);
        if (r.kind == ByteRange::Kind::Part) require(r.first <= r.last && r.last < s && r.length() <= s);
        if (r.kind == ByteRange::Kind::Unsatisfiable) require(size > 0);
    }
    return 0;
}

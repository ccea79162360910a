#pragma once
// The single byte range of a "Range: bytes=..." request header, resolved against
// the size of what is served. Seeking in the players depends on it.
#include <cstdint>
#include <string_view>

namespace qarvel::service {

struct ByteRange {
    enum class Kind {
        Whole,          // no usable range: answer 200 with everything
        Part,           // answer 206 with [first, last]
        Unsatisfiable,  // answer 416 with "bytes */size"
    };
    Kind kind = Kind::Whole;
    std::uint64_t first = 0;
    std::uint64_t last = 0;  // inclusive
    std::uint64_t length() const { return last - first + 1; }
};

// header: the Range header's value (empty when absent). A header that is not one
// plain "bytes=" range, or asks for several ranges, is ignored (Whole), which
// HTTP allows; a range that starts at or beyond the end is Unsatisfiable.
ByteRange resolveByteRange(std::string_view header, std::uint64_t size);

}  // namespace qarvel::service

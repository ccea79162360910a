// Query fields and path checks of the service on arbitrary requests.
#include "fuzz_text_support.h"
#include "service/request_fields.h"

using namespace qarvel::fuzz;
using namespace qarvel::service;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = viewOf(data, size);
    const std::string decoded = percentDecode(text);
    require(decoded.size() <= text.size());
    if (text.find('%') == std::string_view::npos) require(decoded == text);

    for (const std::string_view name : {"id", "v", "name", ""}) {
        if (const auto value = queryField(text, name)) require(value->size() < text.size());
    }

    // A path that passes holds no way out of its folder.
    if (!hasUnsafeSegment(text)) {
        require(text.find("/../") == std::string_view::npos && text.find('\\') == std::string_view::npos);
        require(text != ".." && text != ".");
    }
    if (isLowerHex40(text)) require(size == 40);
    return 0;
}

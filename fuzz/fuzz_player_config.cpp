// QvodPlayer.xml on arbitrary bytes: the cache path is found or not, never
// more than one line of text.
#include "engine/cache/player_config.h"
#include "fuzz_text_support.h"

using namespace qarvel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = bytesOf(data, size);
    if (const auto path = qarvel::engine::cachePathInXml(bytes)) {
        require(bytes.contains("Defaultsavepath=\""));
        require(!path->contains(u'"') && !path->contains(u'\n'));
    }
    return 0;
}

// Addresses handed to the player, on arbitrary text: every one gets a kind,
// and every name the cache would use stays inside the cache folder.
#include "engine/cache/media_address.h"
#include "fuzz_text_support.h"

using namespace qarvel::fuzz;
using namespace qarvel::engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = textOf(data, size);
    if (const auto qvod = parseQvodAddress(text)) {
        require(qvod->size >= 0);
        require(isPlainFileName(qvod->name));
    }
    const MediaAddress address = classifyAddress(text);
    if (address.kind == AddressKind::Unsupported) require(!address.error.isEmpty());
    if (address.kind == AddressKind::Empty) require(text.trimmed().isEmpty());
    if (address.kind == AddressKind::Qvod) require(isPlainFileName(address.qvod.name));
    require(isPlainFileName(cacheNameForUrl(QUrl(text))));
    if (address.kind == AddressKind::Http) require(isPlainFileName(cacheNameForUrl(address.url)));
    return 0;
}

// The download service's texts from arbitrary bytes: the address file, a film
// source and a film status. What decodes encodes to something that decodes to
// the same again.
#include "engine/cache/terminal_protocol.h"
#include "fuzz_text_support.h"

using namespace qarvel::fuzz;
using namespace qarvel::engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = bytesOf(data, size);
    if (const auto address = parseTerminalAddress(bytes)) {
        const auto again = parseTerminalAddress(formatTerminalAddress(*address));
        require(again && *again == *address);
    }
    if (const auto source = decodeFilmSource(bytes)) {
        require(!source->key.isEmpty() && !source->name.isEmpty() && !source->urls.isEmpty());
        const auto again = decodeFilmSource(encodeFilmSource(*source));
        require(again && again->key == source->key && again->name == source->name && again->size == source->size);
    }
    if (const auto film = decodeTerminalFilm(bytes)) {
        require(film->progress >= 0 && film->progress <= 1000);
        const auto again = decodeTerminalFilm(encodeTerminalFilm(*film));
        require(again && again->id == film->id && again->path == film->path && again->size == film->size);
    }
    return 0;
}

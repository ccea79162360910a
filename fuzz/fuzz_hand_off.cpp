// A second start's hand-off frame on arbitrary bytes: whatever comes, it is a
// text, an incomplete frame or a refusal; a text re-encodes to the bytes it
// took, and a refused or incomplete buffer is left as it was.
#include "app/single_instance.h"
#include "fuzz_text_support.h"

using namespace qarvel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray buffer = input;
    bool error = false;
    const std::optional<QString> text = qarvel::takeHandOff(buffer, &error);
    if (!text) {
        require(buffer == input);
        return 0;
    }
    require(!error);
    const QByteArray frame = qarvel::encodeHandOff(*text);
    require(frame.size() <= qarvel::kHandOffMaxBytes + 4);
    require(input.startsWith(frame) && buffer == input.mid(frame.size()));
    return 0;
}

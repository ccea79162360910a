// Console messages of the pages on arbitrary text: only a message with the
// tag is ours, and a link or menu comes back with the text it carried.
#include "fuzz_text_support.h"
#include "web/link_capture.h"

using namespace qarvel::fuzz;
using qarvel::web::ScriptMessage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QStringList parts = partsOf(data, size);
    const QString tag = parts.size() > 1 ? parts.takeFirst() : QStringLiteral("T1");
    const QString message = parts.join(QChar(0));
    const ScriptMessage parsed = qarvel::web::parseScriptMessage(message, tag);
    if (parsed.kind == ScriptMessage::None) return 0;
    require(!tag.isEmpty() && message.startsWith(tag));
    require(message.endsWith(parsed.text));
    if (parsed.kind == ScriptMessage::Link) require(!parsed.text.isEmpty());
    return 0;
}

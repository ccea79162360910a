// The play request's answer as GBK bytes from the network: it must always
// fall into exactly one form, and a found answer's pieces come from it.
#include "common/text_codec.h"
#include "web/play_answer.h"

#include <cstdlib>

using namespace qarvel::web;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString answer = qarvel::fromGbk(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const PlayAnswer play = classifyPlayAnswer(answer);
    if (play.plainZero && play.kind != PlayAnswer::Kind::Nothing) std::abort();
    switch (play.kind) {
    case PlayAnswer::Kind::Failed:
        if (!answer.isEmpty()) std::abort();
        break;
    case PlayAnswer::Kind::Refused:
        if (answer != u"1") std::abort();
        break;
    case PlayAnswer::Kind::Found:
        if (!answer.contains(u'$') || play.name.contains(u'$') || play.address.contains(u'$')) std::abort();
        if (!answer.startsWith(play.name)) std::abort();
        break;
    case PlayAnswer::Kind::Nothing:
        if (answer.isEmpty() || play.plainZero != (answer == u"0")) std::abort();
        break;
    case PlayAnswer::Kind::Unusable:
        if (answer.isEmpty()) std::abort();
        break;
    }
    return 0;
}

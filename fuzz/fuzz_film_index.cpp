// The film bookkeeping on arbitrary bytes: what parses is consistent and
// reads back the same after it is written again.
#include "engine/cache/film_index.h"
#include "fuzz_text_support.h"

using namespace qarvel::fuzz;
using namespace qarvel::engine;

namespace {

void requireOrdered(const RangeSet& set) {
    qint64 end = -1;
    for (const RangeSet::Range& r : set.ranges()) {
        require(r.begin >= 0 && r.begin < r.end && r.begin > end);
        end = r.end;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = bytesOf(data, size);
    if (const auto index = parseFilmIndex(bytes)) {
        requireOrdered(index->ranges);
        if (index->size >= 0 && !index->ranges.ranges().empty())
            require(index->ranges.ranges().back().end <= index->size);
        if (!index->name.contains(u'\n') && !index->key.contains(u'\n') && !index->name.contains(u'\r') &&
            !index->key.contains(u'\r')) {
            const auto again = parseFilmIndex(formatFilmIndex(*index));
            require(again && again->name == index->name && again->key == index->key && again->size == index->size &&
                    again->ranges.ranges() == index->ranges.ranges());
        }
    }
    if (const auto set = RangeSet::fromText(QString::fromLatin1(bytes))) {
        requireOrdered(*set);
        const auto again = RangeSet::fromText(set->toText());
        require(again && again->ranges() == set->ranges());
    }
    return 0;
}

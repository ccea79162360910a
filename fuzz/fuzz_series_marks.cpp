// The series marks file as whatever bytes a damaged disk may hold: bad lines
// drop out, every kept mark is a plain number, and what is written back
// reads as the same marks.
#include "fuzz_text_support.h"
#include "playback/series_marks.h"

using namespace qarvel::playback;
using qarvel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SeriesMarkMap marks = parseSeriesMarks(qarvel::fuzz::bytesOf(data, size));
    for (const auto& [id, m] : marks) require(id > 0 && m.openingEnd >= 0 && m.endingStart >= 0);
    std::erase_if(marks, [](const auto& entry) { return entry.second == SeriesMark{}; });
    require(parseSeriesMarks(formatSeriesMarks(marks)) == marks);
    return 0;
}

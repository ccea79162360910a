#include "engine/cache/range_set.h"

#include <QStringList>
#include <algorithm>

namespace qarvel::engine {

void RangeSet::add(qint64 begin, qint64 end) {
    if (begin < 0 || end <= begin) return;
    // Every range touching or overlapping [begin, end) merges into it.
    auto first =
        std::lower_bound(ranges_.begin(), ranges_.end(), begin, [](const Range& r, qint64 v) { return r.end < v; });
    auto last = first;
    while (last != ranges_.end() && last->begin <= end) {
        begin = std::min(begin, last->begin);
        end = std::max(end, last->end);
        ++last;
    }
    first = ranges_.erase(first, last);
    ranges_.insert(first, Range{begin, end});
}

void RangeSet::clip(qint64 size) {
    while (!ranges_.empty() && ranges_.back().begin >= size) ranges_.pop_back();
    if (!ranges_.empty() && ranges_.back().end > size) ranges_.back().end = size;
}

bool RangeSet::contains(qint64 offset) const { return contiguousFrom(offset) > 0; }

qint64 RangeSet::contiguousFrom(qint64 offset) const {
    auto it =
        std::upper_bound(ranges_.begin(), ranges_.end(), offset, [](qint64 v, const Range& r) { return v < r.end; });
    if (it == ranges_.end() || it->begin > offset) return 0;
    return it->end - offset;
}

qint64 RangeSet::coveredBytes() const {
    qint64 total = 0;
    for (const Range& r : ranges_) total += r.end - r.begin;
    return total;
}

bool RangeSet::covers(qint64 begin, qint64 end) const { return end <= begin || contiguousFrom(begin) >= end - begin; }

std::optional<RangeSet::Range> RangeSet::nextGap(qint64 from, qint64 size) const {
    if (size <= 0) return std::nullopt;
    from = std::clamp<qint64>(from, 0, size);
    // Two passes: from the wanted offset to the end, then from the start.
    for (qint64 start : {from, qint64(0)}) {
        qint64 pos = start;
        for (const Range& r : ranges_) {
            if (r.end <= pos) continue;
            if (r.begin > pos) return Range{pos, std::min(r.begin, size)};
            pos = r.end;
            if (pos >= size) break;
        }
        if (pos < size) return Range{pos, size};
    }
    return std::nullopt;
}

QString RangeSet::toText() const {
    QStringList parts;
    for (const Range& r : ranges_) parts << QString::number(r.begin) + "-" + QString::number(r.end);
    return parts.join(',');
}

std::optional<RangeSet> RangeSet::fromText(const QString& text) {
    RangeSet set;
    if (text.trimmed().isEmpty()) return set;
    for (const QString& part : text.split(',')) {
        const QStringList ends = part.trimmed().split('-');
        if (ends.size() != 2) return std::nullopt;
        bool okBegin = false, okEnd = false;
        const qint64 begin = ends[0].toLongLong(&okBegin);
        const qint64 end = ends[1].toLongLong(&okEnd);
        if (!okBegin || !okEnd || begin < 0 || end <= begin) return std::nullopt;
        set.add(begin, end);
    }
    return set;
}

}  // namespace qarvel::engine

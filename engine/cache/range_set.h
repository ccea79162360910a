#pragma once
// Which byte ranges of a film have arrived: sorted, disjoint, half-open [begin, end).
#include <QString>
#include <QtGlobal>
#include <optional>
#include <utility>
#include <vector>

namespace qarvel::engine {

class RangeSet {
public:
    struct Range {
        qint64 begin;
        qint64 end;
        bool operator==(const Range&) const = default;
    };

    void add(qint64 begin, qint64 end);
    void clear() { ranges_.clear(); }
    // Drops everything at or past size (a file that turned out shorter).
    void clip(qint64 size);

    bool contains(qint64 offset) const;
    // Bytes available from offset on without a gap (0 when offset is missing).
    qint64 contiguousFrom(qint64 offset) const;
    qint64 coveredBytes() const;
    bool covers(qint64 begin, qint64 end) const;
    // The first missing range at or after from, wrapping round to the start of the
    // film; nullopt when [0, size) is complete.
    std::optional<Range> nextGap(qint64 from, qint64 size) const;
    const std::vector<Range>& ranges() const { return ranges_; }

    // "0-100,200-300" (end exclusive); parse refuses anything else.
    QString toText() const;
    static std::optional<RangeSet> fromText(const QString& text);

private:
    std::vector<Range> ranges_;
};

}  // namespace qarvel::engine

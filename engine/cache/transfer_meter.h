#pragma once
// Fetch speed over the last couple of seconds.
#include <QtGlobal>
#include <deque>

namespace qarvel::engine {

class TransferMeter {
public:
    explicit TransferMeter(qint64 windowMs = 2000) : windowMs_(windowMs) {}
    void add(qint64 bytes, qint64 nowMs);
    // Bytes per second over the window ending at nowMs.
    qint64 bytesPerSecond(qint64 nowMs) const;
    void reset() { samples_.clear(); }

private:
    struct Sample {
        qint64 atMs;
        qint64 bytes;
    };
    qint64 windowMs_;
    std::deque<Sample> samples_;
};

}  // namespace qarvel::engine

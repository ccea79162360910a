#include "engine/cache/transfer_meter.h"

namespace qarvel::engine {

void TransferMeter::add(qint64 bytes, qint64 nowMs) {
    if (bytes <= 0) return;
    if (!samples_.empty() && samples_.back().atMs == nowMs) {
        samples_.back().bytes += bytes;
    } else {
        samples_.push_back({nowMs, bytes});
    }
    while (!samples_.empty() && samples_.front().atMs <= nowMs - windowMs_) samples_.pop_front();
}

qint64 TransferMeter::bytesPerSecond(qint64 nowMs) const {
    qint64 total = 0;
    for (const Sample& s : samples_) {
        if (s.atMs > nowMs - windowMs_ && s.atMs <= nowMs) total += s.bytes;
    }
    return total * 1000 / windowMs_;
}

}  // namespace qarvel::engine

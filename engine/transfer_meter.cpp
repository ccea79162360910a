#include "engine/transfer_meter.h"

namespace qarvel::engine {

void TransferMeter::add(qint64 bytes, qint64 nowMs) {
    if (bytes <= 0) return;
    if (!m_samples.empty() && m_samples.back().atMs == nowMs) {
        m_samples.back().bytes += bytes;
    } else {
        m_samples.push_back({nowMs, bytes});
    }
    while (!m_samples.empty() && m_samples.front().atMs <= nowMs - m_windowMs) m_samples.pop_front();
}

qint64 TransferMeter::bytesPerSecond(qint64 nowMs) const {
    qint64 total = 0;
    for (const Sample& s : m_samples) {
        if (s.atMs > nowMs - m_windowMs && s.atMs <= nowMs) total += s.bytes;
    }
    return total * 1000 / m_windowMs;
}

}  // namespace qarvel::engine

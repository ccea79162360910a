#pragma once
// Turning fuzz input into the texts the parsers take.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace qarvel::fuzz {

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline std::string_view viewOf(const uint8_t* data, size_t size) { return {reinterpret_cast<const char*>(data), size}; }

// UTF-8 where the input is UTF-8; the rest becomes U+FFFD.
inline QString textOf(const uint8_t* data, size_t size) { return QString::fromUtf8(bytesOf(data, size)); }

// The input cut at NUL bytes into several texts (for functions of several arguments).
inline QStringList partsOf(const uint8_t* data, size_t size) {
    return QString::fromUtf8(bytesOf(data, size)).split(QChar(0));
}

// A property that must hold; a failure is a finding.
inline void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace qarvel::fuzz

#include "common/gbk.h"

#include "common/utf8.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <iconv.h>

namespace qarvel::codec {
namespace {

// Opening a converter costs far more than converting a line, and files are
// decoded line by line: each thread keeps one of each kind (thread-safe for
// the demo service's worker threads) and resets it before use.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    void reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

    // Converts as much as it can; returns the errno that stopped it (0 at the end).
    int convert(const char*& in, size_t& inLeft, std::string& out) {
        char buf[1024];
        while (inLeft > 0) {
            char* o = buf;
            size_t oLeft = sizeof buf;
            char* i = const_cast<char*>(in);
            size_t r = iconv(cd_, &i, &inLeft, &o, &oLeft);
            in = i;
            out.append(buf, static_cast<size_t>(o - buf));
            if (r == static_cast<size_t>(-1) && errno != E2BIG) return errno;
        }
        return 0;
    }

private:
    iconv_t cd_;
};

Iconv& gbkEncoder() {
    thread_local Iconv converter("GBK", "UTF-8");
    return converter;
}

size_t utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead >> 5) == 0x6) return 2;
    if ((lead >> 4) == 0xE) return 3;
    if ((lead >> 3) == 0x1E) return 4;
    return 1;
}

}  // namespace

std::string utf8ToGbk(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    Iconv& gbk = gbkEncoder();
    thread_local Iconv wide("GB18030", "UTF-8");
    if (!gbk.ok() || !wide.ok()) return std::string(utf8);
    gbk.reset();
    const char* in = utf8.data();
    size_t left = utf8.size();
    while (left > 0) {
        if (gbk.convert(in, left, out) == 0) break;
        // One character GBK cannot hold: its four-byte GB18030 form.
        size_t n = std::min(utf8Length(static_cast<unsigned char>(*in)), left);
        const char* one = in;
        size_t oneLeft = n;
        wide.reset();
        if (wide.convert(one, oneLeft, out) != 0) out.push_back('?');
        in += n;
        left -= n;
        gbk.reset();
    }
    return out;
}

std::string gbkToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    thread_local Iconv dec("UTF-8", "GB18030");
    if (!dec.ok()) return std::string(bytes);
    dec.reset();
    const char* in = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        if (dec.convert(in, left, out) == 0) break;
        // Code page 936 puts the euro sign at 0x80, a byte GB18030 leaves unused.
        if (static_cast<unsigned char>(*in) == 0x80) out += "\xE2\x82\xAC";
        else out += "\xEF\xBF\xBD";
        ++in;
        --left;
        dec.reset();
    }
    return out;
}

namespace {

bool encodesToTwoBytes(char32_t ch) {
    std::string utf8;
    appendUtf8(utf8, ch);
    Iconv& gbk = gbkEncoder();
    if (!gbk.ok()) return false;
    gbk.reset();
    const char* in = utf8.data();
    size_t left = utf8.size();
    std::string out;
    return gbk.convert(in, left, out) == 0 && out.size() == 2;
}

}  // namespace

bool isGbkDoubleByte(char32_t ch) {
    if (ch < 0x80) return false;
    if (ch == 0x20AC) return false;   // 0x80 in code page 936
    if (ch >= 0x10000) return false;  // four-byte form: not a GBK double-byte code
    // Widths are asked per character of every row shown: each answer is
    // looked up once and kept (0 unknown, 1 one byte, 2 two bytes). Racing
    // threads compute the same answer, so relaxed order is enough.
    static std::array<std::atomic<uint8_t>, 0x10000> known{};
    std::atomic<uint8_t>& slot = known[ch];
    uint8_t width = slot.load(std::memory_order_relaxed);
    if (width == 0) {
        width = encodesToTwoBytes(ch) ? 2 : 1;
        slot.store(width, std::memory_order_relaxed);
    }
    return width == 2;
}

}  // namespace qarvel::codec

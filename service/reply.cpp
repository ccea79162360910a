#include "service/reply.h"

#include "common/gbk.h"

#include <algorithm>
#include <chrono>

namespace qarvel::service {

Reply Reply::gbkText(const std::string& utf8, const std::string& contentType, int status) {
    Reply r;
    r.status = status;
    r.contentType = contentType;
    r.body = codec::utf8ToGbk(utf8);
    return r;
}

Reply Reply::gbkPage(const std::string& utf8, int status) { return gbkText(utf8, "text/html; charset=gbk", status); }

Reply Reply::utf8Text(const std::string& text, int status) {
    Reply r;
    r.status = status;
    r.contentType = "text/plain; charset=utf-8";
    r.body = text;
    return r;
}

void sendReply(Reply reply, const Fault& fault, httplib::Response& res, const StopSignal& stop) {
    res.status = reply.status;
    for (const auto& [name, value] : reply.headers) res.set_header(name, value);
    const bool shaped = fault.cutAfterBytes >= 0 || fault.bytesPerSecond > 0;
    if (!reply.file && !shaped) {
        res.set_content(reply.body, reply.contentType);
        return;
    }
    const std::uint64_t length = reply.length();
    if (length == 0 && !shaped) {
        res.set_content(std::string(), reply.contentType);
        return;
    }
    // The declared length stays the whole body even when the fault cuts it: the
    // peer must see a transfer that broke off, not a shorter complete one.
    const std::uint64_t limit = fault.cutAfterBytes >= 0
                                    ? std::min<std::uint64_t>(length, static_cast<std::uint64_t>(fault.cutAfterBytes))
                                    : length;
    auto body = std::make_shared<Reply>(std::move(reply));
    const std::int64_t rate = fault.bytesPerSecond;
    res.set_content_provider(static_cast<size_t>(length == 0 ? 1 : length), body->contentType,
                             [body, limit, rate, &stop](size_t offset, size_t wanted, httplib::DataSink& sink) {
                                 if (offset >= limit || stop.stopped()) return false;
                                 std::size_t n = std::min<std::uint64_t>({wanted, limit - offset, 64 * 1024});
                                 if (rate > 0) {
                                     // Slices of a tenth of a second keep the pace even.
                                     n = std::min<std::size_t>(n, std::max<std::int64_t>(1, rate / 10));
                                     const auto pause =
                                         std::chrono::microseconds(static_cast<std::int64_t>(n) * 1000000 / rate);
                                     if (!stop.waitFor(std::chrono::duration_cast<std::chrono::milliseconds>(pause)))
                                         return false;
                                 }
                                 if (body->file) {
                                     std::string buffer(n, '\0');
                                     const long got = body->file->read(body->fileOffset + offset, buffer.data(), n);
                                     if (got <= 0) return false;
                                     return sink.write(buffer.data(), static_cast<size_t>(got));
                                 }
                                 return sink.write(body->body.data() + offset, n);
                             });
}

}  // namespace qarvel::service

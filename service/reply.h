#pragma once
// What a route answers, before the fault switches and the HTTP library see it:
// a status, headers and a body that is either text or a slice of a media file.
#include "service/fault.h"
#include "service/media_library.h"
#include "service/stop_signal.h"

#include <httplib.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qarvel::service {

struct Reply {
    int status = 200;
    std::string contentType = "text/plain; charset=gbk";
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::shared_ptr<OpenFile> file;  // when set, the body is [fileOffset, fileOffset + fileLength) of it
    std::uint64_t fileOffset = 0;
    std::uint64_t fileLength = 0;

    std::uint64_t length() const { return file ? fileLength : body.size(); }

    // A page or text in UTF-8, sent as GBK.
    static Reply gbkText(const std::string& utf8, const std::string& contentType, int status = 200);
    static Reply gbkPage(const std::string& utf8, int status = 200);
    // Plain UTF-8 text (the control interface).
    static Reply utf8Text(const std::string& text, int status = 200);
};

// Hands the reply to the library, applying the throttle and cut-off of `fault`.
// Bodies are streamed in slices so that a stop or a closed peer ends them early.
void sendReply(Reply reply, const Fault& fault, httplib::Response& res, const StopSignal& stop);

}  // namespace qarvel::service

#pragma once
// Fault switches of the demo service: per endpoint, tests make it slow, failing,
// refusing or broken, to see how the client copes.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace qarvel::service {

struct Fault {
    enum class Answer {
        Normal,   // the endpoint's own answer
        Status,   // an error page with `status`
        Zero,     // the body "0"
        One,      // the body "1"
        Garbage,  // a short body in none of the answer forms
        Huge,     // a body of several megabytes in none of the answer forms
        Close,    // the connection is closed before any byte of an answer
    };
    Answer answer = Answer::Normal;
    int status = 500;
    int delayMs = 0;                  // wait this long before answering
    std::int64_t cutAfterBytes = -1;  // close the connection after this many body bytes (-1: never)
    std::int64_t bytesPerSecond = 0;  // send the body no faster than this (0: no limit)

    static Fault delay(int ms) {
        Fault f;
        f.delayMs = ms;
        return f;
    }
    static Fault errorStatus(int code) {
        Fault f;
        f.answer = Answer::Status;
        f.status = code;
        return f;
    }
    static Fault zero() {
        Fault f;
        f.answer = Answer::Zero;
        return f;
    }
    static Fault one() {
        Fault f;
        f.answer = Answer::One;
        return f;
    }
    static Fault garbage() {
        Fault f;
        f.answer = Answer::Garbage;
        return f;
    }
    static Fault huge() {
        Fault f;
        f.answer = Answer::Huge;
        return f;
    }
    static Fault closed() {
        Fault f;
        f.answer = Answer::Close;
        return f;
    }
    static Fault cutAfter(std::int64_t bytes) {
        Fault f;
        f.cutAfterBytes = bytes;
        return f;
    }
    static Fault throttled(std::int64_t bps) {
        Fault f;
        f.bytesPerSecond = bps;
        return f;
    }

    bool isNone() const { return answer == Answer::Normal && delayMs <= 0 && cutAfterBytes < 0 && bytesPerSecond <= 0; }
    // The body the garbage and huge answers start with: no "$", "||" or "====",
    // not "0" or "1", and a numeric value that is not 0 either.
    static const char* garbageText();
    static constexpr std::int64_t kHugeBytes = 8 << 20;
};

// Status 400 to 599, delay up to ten minutes, cut-off -1 or more, rate 0 or more.
bool isValidFault(const Fault& fault);
const char* answerName(Fault::Answer answer);
std::optional<Fault::Answer> answerFromName(std::string_view name);

// Keys of the endpoints for fault switches and request counts: the path under
// the base address without the query ("h.asp", "lib/wen.txt", "tv/zuvotv.htm");
// the base page itself is "" and everything under "seed/", "media/" and "img/"
// shares the key "seed", "media" or "img".
namespace endpoint {
inline constexpr const char* kHome = "";
inline constexpr const char* kPlayRequest = "h.asp";
inline constexpr const char* kEpisodeList = "pp.htm";
inline constexpr const char* kWebPlayer = "play.htm";
inline constexpr const char* kTvList = "tv/list.htm";
inline constexpr const char* kTvChannel = "tv/zuvotv.htm";
inline constexpr const char* kTvIdle = "tv/ad.htm";
inline constexpr const char* kPing = "tj/tj.asp";
inline constexpr const char* kPauseAd = "js/ads/qvodad.html";
inline constexpr const char* kStopAd = "js/ads/bo.html";
inline constexpr const char* kHighlights = "js/ads/jingcai.html";
inline constexpr const char* kRecommend = "js/ads/tui.html";
inline constexpr const char* kUpdateControl = "lib/wen.txt";
inline constexpr const char* kNoticeList = "lib/gun.txt";
inline constexpr const char* kPopupControl = "lib/tan.txt";
inline constexpr const char* kInstaller = "update/update.exe";
inline constexpr const char* kSeed = "seed";
inline constexpr const char* kMedia = "media";
inline constexpr const char* kPoster = "img";
}  // namespace endpoint

std::string endpointKey(std::string_view relativePath);

// The switched faults and the number of requests per endpoint; thread-safe.
class FaultBoard {
public:
    void set(const std::string& key, const Fault& fault);
    void clear(const std::string& key);
    Fault get(const std::string& key) const;
    void countRequest(const std::string& key);
    int requestCount(const std::string& key) const;
    void reset();

private:
    mutable std::mutex mutex_;
    std::map<std::string, Fault> faults_;
    std::map<std::string, int> requests_;
};

}  // namespace qarvel::service

#include "service/fault.h"

#include <array>
#include <utility>

namespace qarvel::service {
namespace {
constexpr std::array<std::pair<Fault::Answer, const char*>, 7> kAnswerNames = {{
    {Fault::Answer::Normal, "normal"},
    {Fault::Answer::Status, "status"},
    {Fault::Answer::Zero, "zero"},
    {Fault::Answer::One, "one"},
    {Fault::Answer::Garbage, "garbage"},
    {Fault::Answer::Huge, "huge"},
    {Fault::Answer::Close, "close"},
}};
}  // namespace

const char* Fault::garbageText() { return "9 服务器返回了无法识别的内容 (demo fault)\r\n"; }

bool isValidFault(const Fault& f) {
    return f.status >= 400 && f.status <= 599 && f.delayMs >= 0 && f.delayMs <= 600000 && f.cutAfterBytes >= -1 &&
           f.bytesPerSecond >= 0;
}

const char* answerName(Fault::Answer answer) {
    for (const auto& [a, name] : kAnswerNames)
        if (a == answer) return name;
    return "normal";
}

std::optional<Fault::Answer> answerFromName(std::string_view name) {
    for (const auto& [a, n] : kAnswerNames)
        if (name == n) return a;
    return std::nullopt;
}

std::string endpointKey(std::string_view relativePath) {
    for (const std::string_view shared :
         {std::string_view(endpoint::kSeed), std::string_view(endpoint::kMedia), std::string_view(endpoint::kPoster)}) {
        if (relativePath.size() > shared.size() && relativePath.substr(0, shared.size()) == shared &&
            relativePath[shared.size()] == '/')
            return std::string(shared);
    }
    return std::string(relativePath);
}

void FaultBoard::set(const std::string& key, const Fault& fault) {
    std::lock_guard lock(mutex_);
    if (fault.isNone()) faults_.erase(key);
    else faults_[key] = fault;
}

void FaultBoard::clear(const std::string& key) {
    std::lock_guard lock(mutex_);
    faults_.erase(key);
}

Fault FaultBoard::get(const std::string& key) const {
    std::lock_guard lock(mutex_);
    const auto it = faults_.find(key);
    return it == faults_.end() ? Fault() : it->second;
}

void FaultBoard::countRequest(const std::string& key) {
    std::lock_guard lock(mutex_);
    ++requests_[key];
}

int FaultBoard::requestCount(const std::string& key) const {
    std::lock_guard lock(mutex_);
    const auto it = requests_.find(key);
    return it == requests_.end() ? 0 : it->second;
}

void FaultBoard::reset() {
    std::lock_guard lock(mutex_);
    faults_.clear();
    requests_.clear();
}

}  // namespace qarvel::service

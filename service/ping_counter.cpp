#include "service/ping_counter.h"

namespace qarvel::service {

void PingCounter::add(const std::string& id) {
    std::lock_guard lock(mutex_);
    ++counts_[id];
}

int PingCounter::count(const std::string& id) const {
    std::lock_guard lock(mutex_);
    const auto it = counts_.find(id);
    return it == counts_.end() ? 0 : it->second;
}

std::map<std::string, int> PingCounter::all() const {
    std::lock_guard lock(mutex_);
    return counts_;
}

void PingCounter::reset() {
    std::lock_guard lock(mutex_);
    counts_.clear();
}

}  // namespace qarvel::service

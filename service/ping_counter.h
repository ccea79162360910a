#pragma once
// Counts the usage pings ("tj/tj.asp?id=") per user identifier; thread-safe.
#include <map>
#include <mutex>
#include <string>

namespace qarvel::service {

class PingCounter {
public:
    void add(const std::string& id);
    int count(const std::string& id) const;
    std::map<std::string, int> all() const;
    void reset();

private:
    mutable std::mutex mutex_;
    std::map<std::string, int> counts_;
};

}  // namespace qarvel::service

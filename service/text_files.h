#pragma once
// The service's control and notice files: the update control file, the scrolling
// notices and the pop-up notice control file. Each has a default built from the
// base address and can be replaced at run time; thread-safe.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace qarvel::service {

class TextFiles {
public:
    // "lib/wen.txt", "lib/gun.txt", "lib/tan.txt"
    static const std::vector<std::string>& names();
    static bool isKnown(const std::string& name);
    // The default content of a file (UTF-8) for a service at `base`.
    static std::string defaultText(const std::string& name, const std::string& base);

    // False for a name that is not one of the files.
    bool set(const std::string& name, const std::string& utf8);
    // The replaced content, or the default for `base`; nothing for an unknown name.
    std::optional<std::string> get(const std::string& name, const std::string& base) const;
    void reset();

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::string> replaced_;
};

}  // namespace qarvel::service

#include "service/text_files.h"

#include "service/fault.h"

#include <algorithm>

namespace qarvel::service {

const std::vector<std::string>& TextFiles::names() {
    static const std::vector<std::string> list = {endpoint::kUpdateControl, endpoint::kNoticeList,
                                                  endpoint::kPopupControl};
    return list;
}

bool TextFiles::isKnown(const std::string& name) {
    const auto& list = names();
    return std::find(list.begin(), list.end(), name) != list.end();
}

std::string TextFiles::defaultText(const std::string& name, const std::string& base) {
    if (name == endpoint::kUpdateControl) {
        // Side window at exit off, pop-up notice on, pause advertisement on,
        // scrolling notice on, stop advertisement on, latest version "1.0".
        return "0====1====1====1====1====1.0";
    }
    if (name == endpoint::kNoticeList) {
        return "欢迎使用Qarvel影视盒演示服务，点击集数即可播放||*"
               "$$$《星河往事》线路一已更新至第12集||" +
               base + "$$$《海底探秘》在网页播放器中播放||" + base + "$$$电视直播：新闻、体育、电影三个频道||" + base +
               "tv/list.htm";
    }
    if (name == endpoint::kPopupControl) {
        // First page after 60 s, then every 30 minutes, no repeat.
        return "60||30||0||" + base + endpoint::kRecommend;
    }
    return {};
}

bool TextFiles::set(const std::string& name, const std::string& utf8) {
    if (!isKnown(name)) return false;
    std::lock_guard lock(mutex_);
    replaced_[name] = utf8;
    return true;
}

std::optional<std::string> TextFiles::get(const std::string& name, const std::string& base) const {
    if (!isKnown(name)) return std::nullopt;
    std::lock_guard lock(mutex_);
    const auto it = replaced_.find(name);
    if (it != replaced_.end()) return it->second;
    return defaultText(name, base);
}

void TextFiles::reset() {
    std::lock_guard lock(mutex_);
    replaced_.clear();
}

}  // namespace qarvel::service

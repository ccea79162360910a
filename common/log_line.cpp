#include "common/log_line.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace qarvel {

std::string formatLogLine(std::string_view category, std::string_view level, std::string_view text) {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const int millis = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec, millis);

    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    std::string line;
    line.reserve(category.size() + level.size() + text.size() + 20);
    line.append(time).append(" ").append(category).append(" ").append(level).append(": ").append(text).append("\n");
    return line;
}

void writeLogLine(std::string_view category, std::string_view level, std::string_view text) {
    const std::string line = formatLogLine(category, level, text);
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace qarvel

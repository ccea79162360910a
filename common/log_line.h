#pragma once
// The one shape of a diagnostic line, for the Qt parts and the Qt-free demo
// service alike: local time to the millisecond, category, level, text.
//   12:04:31.207 qarvel.engine warning: the film cannot be played (…)
#include <string>
#include <string_view>

namespace qarvel {

// The line, ending in a newline; a trailing newline in text is not doubled.
std::string formatLogLine(std::string_view category, std::string_view level, std::string_view text);

// Writes the line to standard error in one piece, so that lines of several
// threads do not interleave.
void writeLogLine(std::string_view category, std::string_view level, std::string_view text);

}  // namespace qarvel

#pragma once
// The demo service's diagnostics: the client's line shape under its own
// category, without pulling Qt into the service.
#include "common/log_line.h"

#include <string_view>

namespace qarvel::service {

inline constexpr std::string_view kLogCategory = "qarvel.service";

inline void logWarning(std::string_view text) { writeLogLine(kLogCategory, "warning", text); }

}  // namespace qarvel::service

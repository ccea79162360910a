#pragma once
// The parts of a request the routes read before anything is served: query
// fields and the checks that keep a path inside the folders it names.
#include <optional>
#include <string>
#include <string_view>

namespace qarvel::service {

// "%XX" turned into its byte; a "%" without two hex digits stays as it is, and
// "+" stays "+".
std::string percentDecode(std::string_view text);

// The percent-decoded value of one field of a query "a=1&b=2"; the first field
// of that name counts. Nothing when the query has no such field with "=".
std::optional<std::string> queryField(std::string_view query, std::string_view name);

// True when a path could leave the folder it is served from: a "." or ".."
// segment, a backslash or a NUL byte.
bool hasUnsafeSegment(std::string_view path);

// Exactly 40 characters of 0-9 a-f: the form of a film's hash.
bool isLowerHex40(std::string_view text);

}  // namespace qarvel::service

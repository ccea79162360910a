#pragma once
// Configuration values of the build, shared by the client and the demo service.
// Header-only so that the service can include it without linking the client.

namespace qarvel::config {

// Service base address; every service resource is this base + a relative path.
// Overridden by --service URL and set by --demo.
inline constexpr const char* kServiceBase = "http://127.0.0.1:8960/box/";
// Default port of qarvel-service; matches kServiceBase.
inline constexpr int kDefaultServicePort = 8960;
// Path under which the service keeps its catalogue (the base ends with it).
inline constexpr const char* kBasePath = "/box/";
// End-of-play sentinel: a host under the reserved .invalid domain, never loadable.
inline constexpr const char* kSentinelHost = "end-of-play.qarvel.invalid";
inline constexpr const char* kSentinelUrl = "http://end-of-play.qarvel.invalid/";
// The program's download site and the player maker's download page.
inline constexpr const char* kDownloadSite = "http://qarvel.example/";
inline constexpr const char* kPlayerMakerPage = "http://player.qarvel.example/index.htm";
// Program name: window caption, settings stamp, single-instance name.
inline constexpr const char* kProgramName = "Qarvel影视盒";
inline constexpr const char* kVersion = "1.0";

}  // namespace qarvel::config

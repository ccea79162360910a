#pragma once
// The folder of demo clips. Files are looked up by a bare file name only, so no
// request can reach anything outside the folder; digests are computed on first
// use and kept while the file's size and time stay the same.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace qarvel::service {

struct MediaFile {
    std::string name;
    std::string path;
    std::uint64_t size = 0;
    std::string sha1;  // lower-case hex of the content
};

// A file opened for reading at offsets from several calls; closed with the last owner.
class OpenFile {
public:
    static std::shared_ptr<OpenFile> open(const std::string& path);
    ~OpenFile();
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    // Bytes read (0 at the end), or -1 on an error.
    long read(std::uint64_t offset, char* buffer, std::size_t length) const;

private:
    explicit OpenFile(int fd) : fd_(fd) {}
    int fd_;
};

class MediaLibrary {
public:
    explicit MediaLibrary(std::string dir);
    const std::string& dir() const { return dir_; }

    // A name of letters, digits, '.', '_' and '-', not starting with '.', at most 128 characters.
    static bool isSafeName(std::string_view name);
    static std::string contentType(std::string_view name);
    // share/qarvel/media of an installed program; the build's clips for a
    // program inside the build tree; else "media" beside the executable.
    static std::string defaultDir();

    // The regular file of that name in the folder, with its digest; nothing for an
    // unsafe name, a missing file or one that cannot be read.
    std::optional<MediaFile> find(const std::string& name) const;
    bool exists(const std::string& name) const;

private:
    struct Cached {
        std::uint64_t size;
        std::int64_t mtimeNs;
        std::string sha1;
    };
    std::string dir_;
    mutable std::mutex mutex_;
    mutable std::map<std::string, Cached> digests_;
};

}  // namespace qarvel::service

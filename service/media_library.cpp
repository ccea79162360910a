#include "service/media_library.h"

#include "service/sha1.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <vector>

namespace qarvel::service {

std::shared_ptr<OpenFile> OpenFile::open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    return std::shared_ptr<OpenFile>(new OpenFile(fd));
}

OpenFile::~OpenFile() { ::close(fd_); }

long OpenFile::read(std::uint64_t offset, char* buffer, std::size_t length) const {
    for (;;) {
        const ssize_t n = ::pread(fd_, buffer, length, static_cast<off_t>(offset));
        if (n >= 0) return static_cast<long>(n);
        if (errno != EINTR) return -1;
    }
}

MediaLibrary::MediaLibrary(std::string dir) : dir_(std::move(dir)) {
    if (dir_.empty()) dir_ = defaultDir();
    while (dir_.size() > 1 && dir_.back() == '/') dir_.pop_back();
}

bool MediaLibrary::isSafeName(std::string_view name) {
    if (name.empty() || name.size() > 128 || name.front() == '.') return false;
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                        c == '_' || c == '-';
        if (!ok) return false;
    }
    return true;
}

std::string MediaLibrary::contentType(std::string_view name) {
    auto endsWith = [name](std::string_view ext) {
        return name.size() >= ext.size() && name.substr(name.size() - ext.size()) == ext;
    };
    if (endsWith(".mp4")) return "video/mp4";
    if (endsWith(".webm")) return "video/webm";
    if (endsWith(".mkv")) return "video/x-matroska";
    if (endsWith(".jpg")) return "image/jpeg";
    if (endsWith(".png")) return "image/png";
    return "application/octet-stream";
}

std::string MediaLibrary::defaultDir() {
    auto isFolder = [](const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    };
    std::vector<char> exe(4096);
    const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size() - 1);
    const std::string path = n > 0 ? std::string(exe.data(), static_cast<size_t>(n)) : std::string();
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "media";
    const std::string folder = path.substr(0, slash);
    // An installed program (bin/) finds its clips in share/qarvel/media.
    const std::string installed = folder + "/../share/qarvel/media";
    if (isFolder(installed)) return installed;
#ifdef QARVEL_BUILD_DIR
    // The build's own clips only for programs that run inside the build
    // tree: an installed copy must not depend on where it was built.
    char* real = ::realpath(QARVEL_BUILD_DIR, nullptr);
    const std::string build = real ? real : QARVEL_BUILD_DIR;
    std::free(real);
    if (path.compare(0, build.size() + 1, build + "/") == 0 && isFolder(build + "/media")) return build + "/media";
#endif
    return folder + "/media";
}

bool MediaLibrary::exists(const std::string& name) const {
    if (!isSafeName(name)) return false;
    struct stat st {};
    return ::stat((dir_ + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<MediaFile> MediaLibrary::find(const std::string& name) const {
    if (!isSafeName(name)) return std::nullopt;
    MediaFile file;
    file.name = name;
    file.path = dir_ + "/" + name;
    struct stat st {};
    if (::stat(file.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    file.size = static_cast<std::uint64_t>(st.st_size);
    const std::int64_t mtimeNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    {
        std::lock_guard lock(mutex_);
        const auto it = digests_.find(name);
        if (it != digests_.end() && it->second.size == file.size && it->second.mtimeNs == mtimeNs) {
            file.sha1 = it->second.sha1;
            return file;
        }
    }
    const auto handle = OpenFile::open(file.path);
    if (!handle) return std::nullopt;
    Sha1 digest;
    // On the stack: a heap block per digest, freed between a program's own
    // blocks, would keep the heap from shrinking (the demo service runs inside the program).
    std::array<char, 1 << 16> buffer;
    std::uint64_t offset = 0;
    for (;;) {
        const long n = handle->read(offset, buffer.data(), buffer.size());
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        digest.update(std::string_view(buffer.data(), static_cast<size_t>(n)));
        offset += static_cast<std::uint64_t>(n);
    }
    if (offset != file.size) return std::nullopt;  // changed while being read
    file.sha1 = digest.hexDigest();
    std::lock_guard lock(mutex_);
    digests_[name] = {file.size, mtimeNs, file.sha1};
    return file;
}

}  // namespace qarvel::service

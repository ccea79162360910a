#pragma once
// SHA-1 of a byte stream, as lower-case hex. The demo media is addressed by the
// digest of its content ("qvod://SIZE|HASH|NAME|"), like a peer-to-peer seed.
#include <cstdint>
#include <string>
#include <string_view>

namespace qarvel::service {

class Sha1 {
public:
    Sha1();
    void update(std::string_view bytes);
    // Finishes the digest; the object must not be updated afterwards.
    std::string hexDigest();

private:
    void block(const unsigned char* p);
    std::uint32_t h_[5];
    unsigned char buffer_[64];
    std::size_t buffered_ = 0;
    std::uint64_t total_ = 0;
};

std::string sha1Hex(std::string_view bytes);

}  // namespace qarvel::service

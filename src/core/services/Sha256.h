#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vellarion {

// SHA-256, fed in pieces (a download as it arrives). The core has no crypto
// library to lean on in every layer, and this is all the update check and
// the run tokens need of one.
class Sha256 {
public:
    Sha256();
    void update(std::string_view bytes);
    // The digest as 64 lower-case hex digits; the object is spent afterwards.
    std::string hexDigest();

private:
    void compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t totalBytes_ = 0;
};

} // namespace vellarion

#pragma once

#include "core/services/Error.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// The primitives the encrypted archive is made of, one implementation per
// platform: libcrypto on POSIX, the system's CNG (bcrypt.dll) on Windows.
// Both give the same bytes, so each build reads the other's archives.
namespace vellarion::crypto {

constexpr std::size_t kKeySize = 32;   // AES-256
constexpr std::size_t kNonceSize = 12; // GCM's 96-bit nonce
constexpr std::size_t kTagSize = 16;   // GCM's full tag

using Key = std::array<unsigned char, kKeySize>;

// A primitive of the platform failed (not a wrong key: that is open()'s false).
class CryptoError : public Error {
public:
    explicit CryptoError(std::string_view what);
};

// PBKDF2-HMAC-SHA256 of the password's bytes.
void deriveKey(std::string_view password, std::span<const unsigned char> salt,
               std::uint32_t iterations, Key& key);

// Bytes from the system's cryptographic random source.
void randomBytes(std::span<unsigned char> out);

// AES-256-GCM with one key, for many messages.
class AesGcm {
public:
    explicit AesGcm(const Key& key);
    ~AesGcm();
    AesGcm(const AesGcm&) = delete;
    AesGcm& operator=(const AesGcm&) = delete;

    // Encrypts in into out (the same size; they may be the same buffer) and
    // gives the tag over aad and the ciphertext.
    void seal(std::span<const unsigned char, kNonceSize> nonce, std::span<const unsigned char> aad,
              std::span<const unsigned char> in, unsigned char* out,
              std::span<unsigned char, kTagSize> tag);

    // Decrypts in into out when the tag holds; false (out then meaningless)
    // when the key, the nonce, aad, the ciphertext or the tag is not the one
    // sealed.
    [[nodiscard]] bool open(std::span<const unsigned char, kNonceSize> nonce,
                            std::span<const unsigned char> aad, std::span<const unsigned char> in,
                            std::span<const unsigned char, kTagSize> tag, unsigned char* out);

    // Whether open() would succeed, without decrypting: cheaper, for checking
    // every chunk of an archive before any of it is used.
    [[nodiscard]] bool authentic(std::span<const unsigned char, kNonceSize> nonce,
                                 std::span<const unsigned char> aad,
                                 std::span<const unsigned char> in,
                                 std::span<const unsigned char, kTagSize> tag);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// PBKDF2-HMAC-SHA1, as the Chromium family derives the key of its saved
// passwords on Linux from the password it keeps in the Secret Service.
void deriveKeySha1(std::string_view password, std::span<const unsigned char> salt,
                   std::uint32_t iterations, std::span<unsigned char> key);

// AES-128-CBC with PKCS#7 padding, the Chromium family's cipher on Linux.
// Decrypting gives none when the key does not fit (the padding is wrong).
std::optional<std::vector<unsigned char>> aes128Cbc(bool encrypt,
                                                    std::span<const unsigned char, 16> key,
                                                    std::span<const unsigned char, 16> iv,
                                                    std::span<const unsigned char> in);

} // namespace vellarion::crypto

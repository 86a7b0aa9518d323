// The primitives from the system's CNG (bcrypt.dll).
#include "core/crypto/Cipher.h"

#include <windows.h>
// After windows.h.
#include <algorithm>
#include <array>
#include <bcrypt.h>
#include <climits>
#include <cstdio>
#include <string>

namespace vellarion::crypto {

namespace {

[[noreturn]] void fail(const char* what, NTSTATUS status) {
    char code[32];
    std::snprintf(code, sizeof code, " (NTSTATUS 0x%08lX)", static_cast<unsigned long>(status));
    throw CryptoError(std::string(what) + code);
}

ULONG asUlong(std::size_t size) {
    if (size > ULONG_MAX) {
        fail("Block too large to encrypt", 0);
    }
    return static_cast<ULONG>(size);
}

// CNG takes non-const buffers it only reads.
PUCHAR bytes(const unsigned char* p) {
    return const_cast<PUCHAR>(p);
}

class Algorithm {
public:
    Algorithm(LPCWSTR id, ULONG flags) {
        if (const NTSTATUS s = BCryptOpenAlgorithmProvider(&handle_, id, nullptr, flags);
            !BCRYPT_SUCCESS(s)) {
            fail("Cannot open a CNG algorithm", s);
        }
    }
    ~Algorithm() { BCryptCloseAlgorithmProvider(handle_, 0); }
    Algorithm(const Algorithm&) = delete;
    Algorithm& operator=(const Algorithm&) = delete;
    BCRYPT_ALG_HANDLE get() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

} // namespace

namespace {

void pbkdf2(LPCWSTR hash, std::string_view password, std::span<const unsigned char> salt,
            std::uint32_t iterations, std::span<unsigned char> key, const char* what) {
    if (iterations == 0) {
        fail(what, 0);
    }
    const Algorithm hmac(hash, BCRYPT_ALG_HANDLE_HMAC_FLAG);
    const NTSTATUS s = BCryptDeriveKeyPBKDF2(
        hmac.get(), bytes(reinterpret_cast<const unsigned char*>(password.data())),
        asUlong(password.size()), bytes(salt.data()), asUlong(salt.size()), iterations, key.data(),
        asUlong(key.size()), 0);
    if (!BCRYPT_SUCCESS(s)) {
        fail(what, s);
    }
}

} // namespace

void deriveKey(std::string_view password, std::span<const unsigned char> salt,
               std::uint32_t iterations, Key& key) {
    pbkdf2(BCRYPT_SHA256_ALGORITHM, password, salt, iterations, key,
           "Cannot derive the archive's key");
}

void randomBytes(std::span<unsigned char> out) {
    if (const NTSTATUS s = BCryptGenRandom(nullptr, out.data(), asUlong(out.size()),
                                           BCRYPT_USE_SYSTEM_PREFERRED_RNG);
        !BCRYPT_SUCCESS(s)) {
        fail("No random bytes to encrypt with", s);
    }
}

struct AesGcm::Impl {
    Algorithm aes{BCRYPT_AES_ALGORITHM, 0};
    BCRYPT_KEY_HANDLE key = nullptr;
    std::vector<unsigned char> scratch; // authentic()'s plaintext, thrown away
    ~Impl() {
        if (key != nullptr) {
            BCryptDestroyKey(key);
        }
        SecureZeroMemory(scratch.data(), scratch.size());
    }
};

AesGcm::AesGcm(const Key& key) : impl_(std::make_unique<Impl>()) {
    NTSTATUS s =
        BCryptSetProperty(impl_->aes.get(), BCRYPT_CHAINING_MODE,
                          reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_GCM)),
                          sizeof(BCRYPT_CHAIN_MODE_GCM), 0);
    if (BCRYPT_SUCCESS(s)) {
        s = BCryptGenerateSymmetricKey(impl_->aes.get(), &impl_->key, nullptr, 0, bytes(key.data()),
                                       asUlong(key.size()), 0);
    }
    if (!BCRYPT_SUCCESS(s)) {
        fail("Cannot set up AES-256-GCM", s);
    }
}

AesGcm::~AesGcm() = default;

namespace {

BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO modeInfo(std::span<const unsigned char, kNonceSize> nonce,
                                               std::span<const unsigned char> aad,
                                               unsigned char* tag) {
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
    BCRYPT_INIT_AUTH_MODE_INFO(info);
    info.pbNonce = bytes(nonce.data());
    info.cbNonce = static_cast<ULONG>(nonce.size());
    info.pbAuthData = bytes(aad.data());
    info.cbAuthData = asUlong(aad.size());
    info.pbTag = tag;
    info.cbTag = static_cast<ULONG>(kTagSize);
    return info;
}

} // namespace

void AesGcm::seal(std::span<const unsigned char, kNonceSize> nonce,
                  std::span<const unsigned char> aad, std::span<const unsigned char> in,
                  unsigned char* out, std::span<unsigned char, kTagSize> tag) {
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = modeInfo(nonce, aad, tag.data());
    ULONG written = 0;
    const NTSTATUS s = BCryptEncrypt(impl_->key, bytes(in.data()), asUlong(in.size()), &info,
                                     nullptr, 0, out, asUlong(in.size()), &written, 0);
    if (!BCRYPT_SUCCESS(s) || written != in.size()) {
        fail("Cannot encrypt the archive", s);
    }
}

bool AesGcm::open(std::span<const unsigned char, kNonceSize> nonce,
                  std::span<const unsigned char> aad, std::span<const unsigned char> in,
                  std::span<const unsigned char, kTagSize> tag, unsigned char* out) {
    if (in.empty()) {
        // Wine's CNG passes any tag of an empty message (an archive's empty
        // last chunk): the tag is made afresh and compared instead.
        // (No input and no output: a null output with some input is only
        // asking for the output's size.)
        std::array<unsigned char, kTagSize> made{};
        seal(nonce, aad, {}, nullptr, made);
        unsigned char differ = 0;
        for (std::size_t i = 0; i < kTagSize; ++i) {
            differ = static_cast<unsigned char>(differ | (made[i] ^ tag[i]));
        }
        return differ == 0;
    }
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info =
        modeInfo(nonce, aad, const_cast<unsigned char*>(tag.data()));
    ULONG written = 0;
    const NTSTATUS s = BCryptDecrypt(impl_->key, bytes(in.data()), asUlong(in.size()), &info,
                                     nullptr, 0, out, asUlong(in.size()), &written, 0);
    if (s == static_cast<NTSTATUS>(0xC000A002L)) { // STATUS_AUTH_TAG_MISMATCH
        return false;
    }
    if (!BCRYPT_SUCCESS(s) || written != in.size()) {
        fail("Cannot decrypt the archive", s);
    }
    return true;
}

// CNG has no way to hash without decrypting that reads the same on Wine, so
// the chunk is decrypted into a buffer nobody reads (wiped at the end).
bool AesGcm::authentic(std::span<const unsigned char, kNonceSize> nonce,
                       std::span<const unsigned char> aad, std::span<const unsigned char> in,
                       std::span<const unsigned char, kTagSize> tag) {
    impl_->scratch.resize(std::max<std::size_t>(impl_->scratch.size(), in.size()));
    return open(nonce, aad, in, tag, impl_->scratch.data());
}

void deriveKeySha1(std::string_view password, std::span<const unsigned char> salt,
                   std::uint32_t iterations, std::span<unsigned char> key) {
    pbkdf2(BCRYPT_SHA1_ALGORITHM, password, salt, iterations, key,
           "Cannot derive the browser's key");
}

std::optional<std::vector<unsigned char>> aes128Cbc(bool encrypt,
                                                    std::span<const unsigned char, 16> key,
                                                    std::span<const unsigned char, 16> iv,
                                                    std::span<const unsigned char> in) {
    const Algorithm aes(BCRYPT_AES_ALGORITHM, 0);
    NTSTATUS s =
        BCryptSetProperty(aes.get(), BCRYPT_CHAINING_MODE,
                          reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_CBC)),
                          sizeof(BCRYPT_CHAIN_MODE_CBC), 0);
    BCRYPT_KEY_HANDLE handle = nullptr;
    if (BCRYPT_SUCCESS(s)) {
        s = BCryptGenerateSymmetricKey(aes.get(), &handle, nullptr, 0, bytes(key.data()),
                                       asUlong(key.size()), 0);
    }
    if (!BCRYPT_SUCCESS(s)) {
        fail("Cannot use AES-128-CBC", s);
    }
    // CNG changes the IV it is given.
    std::array<unsigned char, 16> chain{};
    std::copy(iv.begin(), iv.end(), chain.begin());
    std::vector<unsigned char> out(in.size() + 16);
    ULONG written = 0;
    s = encrypt ? BCryptEncrypt(handle, bytes(in.data()), asUlong(in.size()), nullptr, chain.data(),
                                asUlong(chain.size()), out.data(), asUlong(out.size()), &written,
                                BCRYPT_BLOCK_PADDING)
                : BCryptDecrypt(handle, bytes(in.data()), asUlong(in.size()), nullptr, chain.data(),
                                asUlong(chain.size()), out.data(), asUlong(out.size()), &written,
                                BCRYPT_BLOCK_PADDING);
    BCryptDestroyKey(handle);
    if (!BCRYPT_SUCCESS(s)) {
        if (encrypt) {
            fail("Cannot use AES-128-CBC", s);
        }
        return std::nullopt; // the padding does not check: another key
    }
    out.resize(written);
    return out;
}

} // namespace vellarion::crypto

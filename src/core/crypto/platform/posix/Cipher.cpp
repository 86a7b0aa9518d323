// The primitives from OpenSSL's libcrypto.
#include "core/crypto/Cipher.h"

// SHA256_Transform, deprecated since OpenSSL 3 yet kept in it, is what makes
// the key derivation cheap (below).
#define OPENSSL_SUPPRESS_DEPRECATED

#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/sha.h>
#include <string>

namespace vellarion::crypto {

namespace {

[[noreturn]] void fail(const char* what) {
    std::string text = what;
    if (const unsigned long code = ERR_get_error(); code != 0) {
        char reason[256];
        ERR_error_string_n(code, reason, sizeof reason);
        text += ": ";
        text += reason;
    }
    ERR_clear_error();
    throw CryptoError(text);
}

int asInt(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) {
        fail("Block too large to encrypt");
    }
    return static_cast<int>(size);
}

} // namespace

namespace {

// The SHA-256 state's words as the digest's bytes.
void digestOf(const SHA256_CTX& state, unsigned char* out) {
    for (int i = 0; i < 8; ++i) {
        out[4 * i] = static_cast<unsigned char>(state.h[i] >> 24);
        out[4 * i + 1] = static_cast<unsigned char>(state.h[i] >> 16);
        out[4 * i + 2] = static_cast<unsigned char>(state.h[i] >> 8);
        out[4 * i + 3] = static_cast<unsigned char>(state.h[i]);
    }
}

} // namespace

// PBKDF2-HMAC-SHA256 for one 32-byte block, as RFC 8018 defines it. Each of
// the hundreds of thousands of iterations is two SHA-256 compressions from
// the key's inner and outer states, computed once; the library's own
// PBKDF2 sets up a whole HMAC for each, which costs three times as much, and
// the derivation is the one part of opening or writing an encrypted archive
// that no other work can hide.
void deriveKey(std::string_view password, std::span<const unsigned char> salt,
               std::uint32_t iterations, Key& key) {
    if (iterations == 0) {
        fail("Cannot derive the archive's key");
    }
    unsigned char k[SHA256_CBLOCK] = {};
    if (password.size() > sizeof k) {
        SHA256(reinterpret_cast<const unsigned char*>(password.data()), password.size(), k);
    } else {
        std::memcpy(k, password.data(), password.size());
    }
    unsigned char pad[SHA256_CBLOCK];
    SHA256_CTX inner;
    SHA256_CTX outer;
    for (std::size_t i = 0; i < sizeof pad; ++i) {
        pad[i] = static_cast<unsigned char>(k[i] ^ 0x36);
    }
    SHA256_Init(&inner);
    SHA256_Update(&inner, pad, sizeof pad);
    for (std::size_t i = 0; i < sizeof pad; ++i) {
        pad[i] = static_cast<unsigned char>(k[i] ^ 0x5c);
    }
    SHA256_Init(&outer);
    SHA256_Update(&outer, pad, sizeof pad);

    // U1 = HMAC(password, salt || INT(1)).
    unsigned char u[SHA256_DIGEST_LENGTH];
    SHA256_CTX state = inner;
    static constexpr unsigned char kBlockIndex[4] = {0, 0, 0, 1};
    SHA256_Update(&state, salt.data(), salt.size());
    SHA256_Update(&state, kBlockIndex, sizeof kBlockIndex);
    SHA256_Final(u, &state);
    state = outer;
    SHA256_Update(&state, u, sizeof u);
    SHA256_Final(u, &state);
    std::memcpy(key.data(), u, key.size());

    // Then each U is 32 bytes after a 64-byte key block: one padded block
    // of 96 bytes' length for the inner hash and one for the outer.
    unsigned char block[SHA256_CBLOCK] = {};
    block[32] = 0x80;
    block[62] = 0x03; // 768 bits
    std::memcpy(block, u, sizeof u);
    for (std::uint32_t n = 1; n < iterations; ++n) {
        state = inner;
        SHA256_Transform(&state, block);
        digestOf(state, block);
        state = outer;
        SHA256_Transform(&state, block);
        digestOf(state, block);
        for (std::size_t i = 0; i < key.size(); ++i) {
            key[i] ^= block[i];
        }
    }
    OPENSSL_cleanse(k, sizeof k);
    OPENSSL_cleanse(pad, sizeof pad);
    OPENSSL_cleanse(u, sizeof u);
    OPENSSL_cleanse(block, sizeof block);
    OPENSSL_cleanse(&inner, sizeof inner);
    OPENSSL_cleanse(&outer, sizeof outer);
    OPENSSL_cleanse(&state, sizeof state);
}

void randomBytes(std::span<unsigned char> out) {
    if (RAND_bytes(out.data(), asInt(out.size())) != 1) {
        fail("No random bytes to encrypt with");
    }
}

namespace {

// A 128-bit block of GCM's field, its first byte the most significant.
struct FieldBlock {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
};

FieldBlock fieldBlock(const unsigned char* bytes) {
    FieldBlock b;
    for (int i = 0; i < 8; ++i) {
        b.high = (b.high << 8) | bytes[i];
        b.low = (b.low << 8) | bytes[8 + i];
    }
    return b;
}

// X times Y in GF(2^128) as GCM defines the product (NIST SP 800-38D,
// algorithm 1): one product per chunk checked, so the plain bitwise way.
FieldBlock fieldProduct(FieldBlock x, FieldBlock y) {
    FieldBlock z;
    for (int i = 0; i < 128; ++i) {
        const std::uint64_t bit = i < 64 ? (x.high >> (63 - i)) & 1 : (x.low >> (127 - i)) & 1;
        if (bit != 0) {
            z.high ^= y.high;
            z.low ^= y.low;
        }
        const bool carry = (y.low & 1) != 0;
        y.low = (y.low >> 1) | (y.high << 63);
        y.high >>= 1;
        if (carry) {
            y.high ^= 0xE100000000000000ULL;
        }
    }
    return z;
}

} // namespace

struct AesGcm::Impl {
    EVP_CIPHER_CTX* encrypt = nullptr;
    EVP_CIPHER_CTX* decrypt = nullptr;
    EVP_CIPHER_CTX* authenticate = nullptr;
    FieldBlock hashKey; // H, the key encrypting the zero block
    ~Impl() {
        EVP_CIPHER_CTX_free(encrypt);
        EVP_CIPHER_CTX_free(decrypt);
        EVP_CIPHER_CTX_free(authenticate);
        OPENSSL_cleanse(&hashKey, sizeof hashKey);
    }
};

AesGcm::AesGcm(const Key& key) : impl_(std::make_unique<Impl>()) {
    impl_->encrypt = EVP_CIPHER_CTX_new();
    impl_->decrypt = EVP_CIPHER_CTX_new();
    impl_->authenticate = EVP_CIPHER_CTX_new();
    // The key is scheduled once; each message then sets only its nonce.
    if (impl_->encrypt == nullptr || impl_->decrypt == nullptr || impl_->authenticate == nullptr ||
        EVP_EncryptInit_ex(impl_->encrypt, EVP_aes_256_gcm(), nullptr, key.data(), nullptr) != 1 ||
        EVP_DecryptInit_ex(impl_->decrypt, EVP_aes_256_gcm(), nullptr, key.data(), nullptr) != 1 ||
        EVP_DecryptInit_ex(impl_->authenticate, EVP_aes_256_gcm(), nullptr, key.data(), nullptr) !=
            1) {
        fail("Cannot set up AES-256-GCM");
    }
    // H = AES(key, 0^128), for authentic() below.
    const std::unique_ptr<EVP_CIPHER_CTX, void (*)(EVP_CIPHER_CTX*)> ecb(EVP_CIPHER_CTX_new(),
                                                                         EVP_CIPHER_CTX_free);
    unsigned char zero[16] = {};
    unsigned char h[32] = {};
    int n = 0;
    if (!ecb ||
        EVP_EncryptInit_ex(ecb.get(), EVP_aes_256_ecb(), nullptr, key.data(), nullptr) != 1 ||
        EVP_CIPHER_CTX_set_padding(ecb.get(), 0) != 1 ||
        EVP_EncryptUpdate(ecb.get(), h, &n, zero, sizeof zero) != 1 || n != 16) {
        fail("Cannot set up AES-256-GCM");
    }
    impl_->hashKey = fieldBlock(h);
    OPENSSL_cleanse(h, sizeof h);
}

AesGcm::~AesGcm() = default;

void AesGcm::seal(std::span<const unsigned char, kNonceSize> nonce,
                  std::span<const unsigned char> aad, std::span<const unsigned char> in,
                  unsigned char* out, std::span<unsigned char, kTagSize> tag) {
    EVP_CIPHER_CTX* ctx = impl_->encrypt;
    int n = 0;
    if (EVP_EncryptInit_ex(ctx, nullptr, nullptr, nullptr, nonce.data()) != 1 ||
        EVP_EncryptUpdate(ctx, nullptr, &n, aad.data(), asInt(aad.size())) != 1 ||
        EVP_EncryptUpdate(ctx, out, &n, in.data(), asInt(in.size())) != 1 ||
        EVP_EncryptFinal_ex(ctx, out + n, &n) != 1 ||
        EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_GET_TAG, static_cast<int>(kTagSize), tag.data()) !=
            1) {
        fail("Cannot encrypt the archive");
    }
}

bool AesGcm::open(std::span<const unsigned char, kNonceSize> nonce,
                  std::span<const unsigned char> aad, std::span<const unsigned char> in,
                  std::span<const unsigned char, kTagSize> tag, unsigned char* out) {
    EVP_CIPHER_CTX* ctx = impl_->decrypt;
    int n = 0;
    if (EVP_DecryptInit_ex(ctx, nullptr, nullptr, nullptr, nonce.data()) != 1 ||
        EVP_DecryptUpdate(ctx, nullptr, &n, aad.data(), asInt(aad.size())) != 1 ||
        EVP_DecryptUpdate(ctx, out, &n, in.data(), asInt(in.size())) != 1 ||
        EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_SET_TAG, static_cast<int>(kTagSize),
                            const_cast<unsigned char*>(tag.data())) != 1) {
        fail("Cannot decrypt the archive");
    }
    const bool authentic = EVP_DecryptFinal_ex(ctx, out + n, &n) == 1;
    ERR_clear_error();
    return authentic;
}

// GCM's tag is E(J0) xor GHASH(aad || pad || C || pad || L), L the lengths
// of aad and C in bits. Handing aad || pad || C to the cipher as aad alone
// hashes the same blocks but for the last, L' = (the bits of all of it, 0),
// and encrypts nothing. GHASH's last step is (Y xor L) * H, so that tag is
// the true one xor (L xor L') * H: the tag is checked against that, at the
// cost of the hashing alone, about a third of decrypting.
bool AesGcm::authentic(std::span<const unsigned char, kNonceSize> nonce,
                       std::span<const unsigned char> aad, std::span<const unsigned char> in,
                       std::span<const unsigned char, kTagSize> tag) {
    static constexpr unsigned char kZeros[16] = {};
    const std::size_t aadPad = (16 - aad.size() % 16) % 16;
    const std::uint64_t aadBits = static_cast<std::uint64_t>(aad.size()) * 8;
    const std::uint64_t inBits = static_cast<std::uint64_t>(in.size()) * 8;
    const std::uint64_t allBits = aadBits + static_cast<std::uint64_t>(aadPad) * 8 + inBits;
    const FieldBlock delta = fieldProduct({aadBits ^ allBits, inBits}, impl_->hashKey);
    unsigned char expected[kTagSize];
    for (std::size_t i = 0; i < 8; ++i) {
        const int shift = static_cast<int>(56 - 8 * i);
        expected[i] = static_cast<unsigned char>(tag[i] ^ (delta.high >> shift));
        expected[8 + i] = static_cast<unsigned char>(tag[8 + i] ^ (delta.low >> shift));
    }
    EVP_CIPHER_CTX* ctx = impl_->authenticate;
    int n = 0;
    unsigned char none[16];
    if (EVP_DecryptInit_ex(ctx, nullptr, nullptr, nullptr, nonce.data()) != 1 ||
        EVP_DecryptUpdate(ctx, nullptr, &n, aad.data(), asInt(aad.size())) != 1 ||
        (aadPad != 0 && EVP_DecryptUpdate(ctx, nullptr, &n, kZeros, asInt(aadPad)) != 1) ||
        (!in.empty() && EVP_DecryptUpdate(ctx, nullptr, &n, in.data(), asInt(in.size())) != 1) ||
        EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_SET_TAG, static_cast<int>(kTagSize), expected) != 1) {
        fail("Cannot decrypt the archive");
    }
    const bool holds = EVP_DecryptFinal_ex(ctx, none, &n) == 1;
    ERR_clear_error();
    return holds;
}

void deriveKeySha1(std::string_view password, std::span<const unsigned char> salt,
                   std::uint32_t iterations, std::span<unsigned char> key) {
    if (iterations == 0 || iterations > static_cast<std::uint32_t>(INT_MAX) ||
        PKCS5_PBKDF2_HMAC(password.data(), asInt(password.size()), salt.data(), asInt(salt.size()),
                          static_cast<int>(iterations), EVP_sha1(), asInt(key.size()),
                          key.data()) != 1) {
        fail("Cannot derive the browser's key");
    }
}

std::optional<std::vector<unsigned char>> aes128Cbc(bool encrypt,
                                                    std::span<const unsigned char, 16> key,
                                                    std::span<const unsigned char, 16> iv,
                                                    std::span<const unsigned char> in) {
    const std::unique_ptr<EVP_CIPHER_CTX, void (*)(EVP_CIPHER_CTX*)> ctx(EVP_CIPHER_CTX_new(),
                                                                         EVP_CIPHER_CTX_free);
    std::vector<unsigned char> out(in.size() + 16);
    int n = 0;
    int last = 0;
    if (!ctx ||
        EVP_CipherInit_ex(ctx.get(), EVP_aes_128_cbc(), nullptr, key.data(), iv.data(),
                          encrypt ? 1 : 0) != 1 ||
        EVP_CipherUpdate(ctx.get(), out.data(), &n, in.data(), asInt(in.size())) != 1) {
        fail("Cannot use AES-128-CBC");
    }
    if (EVP_CipherFinal_ex(ctx.get(), out.data() + n, &last) != 1) {
        ERR_clear_error();
        if (encrypt) {
            fail("Cannot use AES-128-CBC");
        }
        return std::nullopt; // the padding does not check: another key
    }
    out.resize(static_cast<std::size_t>(n + last));
    return out;
}

} // namespace vellarion::crypto

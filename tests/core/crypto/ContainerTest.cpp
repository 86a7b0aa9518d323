// The encrypted container on its own: what goes in comes out, whatever the
// codec's writes behind the end do, and every change to the bytes is caught.
#include "FileTree.h"
#include "core/crypto/Cipher.h"
#include "core/crypto/EncryptedArchive.h"

#include <gtest/gtest.h>
#include <map>
#include <random>

namespace vellarion::test {
namespace {

// Few rounds and small chunks keep the cases quick; the parameters are read
// from the header, so they are the same code paths.
constexpr EncryptionParameters kQuick{.iterations = 1000, .chunkSize = 4096};
constexpr std::size_t kHeader = 44;
constexpr std::size_t kSealed = 4096 + 28;

std::string encrypt(std::string_view plain, const char* password = "correct horse",
                    EncryptionParameters parameters = kQuick) {
    MemoryStream out;
    EncryptingStream stream(out, Secret(password), parameters);
    stream.write(plain.data(), plain.size());
    stream.finish();
    return out.bytes();
}

std::string decrypt(const std::string& archive, const char* password = "correct horse") {
    MemoryStream in(archive);
    DecryptingStream stream(in, Secret(password));
    std::string plain(stream.size(), '\0');
    EXPECT_EQ(stream.read(plain.data(), plain.size()), plain.size());
    return plain;
}

std::string failureOf(const std::string& archive, const char* password = "correct horse") {
    try {
        decrypt(archive, password);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "opened";
}

std::string chunk(const std::string& archive, std::size_t index) {
    return archive.substr(kHeader + index * kSealed, kSealed);
}

TEST(Container, RoundTripsEverySizeAroundTheChunks) {
    for (std::size_t size :
         std::initializer_list<std::size_t>{0, 1, 4095, 4096, 4097, 8192, 3 * 4096 + 17}) {
        const std::string plain = noise(size, static_cast<unsigned>(size) + 1);
        const std::string archive = encrypt(plain);
        EXPECT_EQ(decrypt(archive), plain) << size;
        // One last chunk that is never empty unless the archive is.
        const std::size_t chunks = size == 0 ? 1 : (size + 4095) / 4096;
        EXPECT_EQ(archive.size(), kHeader + size + chunks * 28) << size;
        // Nothing of the plaintext shows.
        if (size >= 64) {
            EXPECT_EQ(archive.find(plain.substr(0, 32)), std::string::npos);
        }
    }
}

TEST(Container, HeaderNamesItsDerivationAndEachArchiveHasItsOwnSalt) {
    const std::string a = encrypt("same", "pw", {});
    const std::string b = encrypt("same", "pw", {});
    EXPECT_EQ(a.substr(0, 16), std::string("\0\0VellarionCrypt", 16));
    EXPECT_EQ(a[16], 1);                                            // version
    EXPECT_EQ(a[17], 1);                                            // PBKDF2-HMAC-SHA256
    EXPECT_EQ(a.substr(18, 4), std::string("\xC0\x27\x09\x00", 4)); // 600000
    EXPECT_EQ(a[22], 16);                                           // salt length
    EXPECT_EQ(a[39], 1);                                            // AES-256-GCM
    EXPECT_EQ(a.substr(40, 4), std::string("\x00\x00\x04\x00", 4)); // 256 KiB chunks
    EXPECT_NE(a.substr(23, 16), b.substr(23, 16));
    EXPECT_NE(a.substr(kHeader), b.substr(kHeader));
    EXPECT_EQ(decrypt(a, "pw"), "same");
    EXPECT_EQ(decrypt(b, "pw"), "same");
}

// The codec writes headers first and fills in their sizes later, and drops a
// record that cannot be stored: writes and cuts behind the end, into chunks
// sealed long ago, must come out as a plain stream would hold them.
TEST(Container, WritesAndCutsBehindTheEndComeOutAsInAPlainStream) {
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        MemoryStream sealedBytes;
        MemoryStream plain;
        {
            EncryptingStream encrypted(sealedBytes, Secret("pw"), kQuick);
            for (int op = 0; op < 30; ++op) {
                const auto choice = random() % 10;
                const std::uint64_t size = plain.size();
                if (choice < 6 || size == 0) {
                    const std::string data = noise(random() % 9000 + 1, random());
                    plain.seek(size);
                    encrypted.seek(size);
                    plain.write(data.data(), data.size());
                    encrypted.write(data.data(), data.size());
                } else if (choice < 9) {
                    const std::uint64_t at = random() % size;
                    const std::string data =
                        noise(std::min<std::uint64_t>(size - at, random() % 20 + 1), random());
                    plain.seek(at);
                    encrypted.seek(at);
                    plain.write(data.data(), data.size());
                    encrypted.write(data.data(), data.size());
                } else {
                    const std::uint64_t to = random() % (size + 1);
                    plain.truncate(to);
                    encrypted.truncate(to);
                }
                ASSERT_EQ(encrypted.size(), plain.size());
            }
            encrypted.finish();
        }
        EXPECT_EQ(decrypt(sealedBytes.bytes(), "pw"), plain.bytes()) << "round " << round;
    }
}

TEST(Container, SeeksAndReadsAnywhere) {
    const std::string plain = noise(5 * 4096 + 100, 3);
    MemoryStream in(encrypt(plain));
    DecryptingStream stream(in, Secret("correct horse"));
    for (std::uint64_t at : std::initializer_list<std::uint64_t>{4096 * 3 + 5, 0, 4095,
                                                                 5 * 4096 + 99, 5 * 4096 + 100}) {
        stream.seek(at);
        std::string part(300, '\0');
        part.resize(stream.read(part.data(), part.size()));
        EXPECT_EQ(part, plain.substr(at, 300)) << at;
    }
}

// The chunks after the one read are decrypted ahead: whatever the order of
// the reads, each gives the bytes at its position.
TEST(Container, ALongArchiveReadsTheSameInAnyOrder) {
    constexpr std::size_t kChunks = 40;
    const std::string plain = noise(kChunks * 4096 - 77, 5);
    MemoryStream in(encrypt(plain));
    DecryptingStream stream(in, Secret("correct horse"));
    const auto readAt = [&](std::uint64_t at, std::size_t count) {
        stream.seek(at);
        std::string part(count, '\0');
        part.resize(stream.read(part.data(), part.size()));
        return part;
    };
    std::map<std::string, std::vector<std::pair<std::uint64_t, std::size_t>>> orders;
    for (std::uint64_t at = 0; at < plain.size(); at += 1000) {
        orders["forward in reads across the chunks"].emplace_back(at, 1000);
    }
    for (std::uint64_t chunk = kChunks; chunk-- > 0;) {
        orders["backward a chunk at a time"].emplace_back(chunk * 4096, 4096);
    }
    std::mt19937 pick(11);
    for (int i = 0; i < 200; ++i) {
        orders["anywhere"].emplace_back(pick() % plain.size(), 1 + pick() % 9000);
    }
    for (std::uint64_t at = 0; at < plain.size(); at += 3 * 4096) {
        orders["skipping chunks"].emplace_back(at + 4000, 200);
        orders["skipping chunks"].emplace_back(at, 10); // and back into the one passed
    }
    for (const auto& [order, reads] : orders) {
        for (const auto& [at, count] : reads) {
            ASSERT_EQ(readAt(at, count), plain.substr(at, count)) << order << " at " << at;
        }
    }
    EXPECT_EQ(readAt(0, plain.size()), plain);
}

// Each change an attacker or a bad disk can make, and a wrong password, is
// refused before a byte is handed out, with the same words.
TEST(Container, EveryChangeAndAWrongPasswordIsRefusedAlike) {
    const std::string good = encrypt(noise(3 * 4096 + 1000, 9));
    ASSERT_EQ(good.size(), kHeader + 3 * kSealed + 1000 + 28);
    const std::string refused = "Wrong password, or the archive is damaged";
    EXPECT_EQ(failureOf(good, "correct horsf"), refused);
    EXPECT_EQ(failureOf(good, ""), refused);

    std::map<std::string, std::string> damaged;
    damaged["last chunk cut off"] = good.substr(0, kHeader + 3 * kSealed);
    damaged["cut inside the last chunk"] = good.substr(0, good.size() - 1);
    damaged["cut inside a chunk"] = good.substr(0, kHeader + kSealed + 100);
    damaged["header only"] = good.substr(0, kHeader);
    damaged["header cut"] = good.substr(0, 30);
    damaged["chunks swapped"] = good.substr(0, kHeader) + chunk(good, 1) + chunk(good, 0) +
                                good.substr(kHeader + 2 * kSealed);
    damaged["chunk repeated"] =
        good.substr(0, kHeader + kSealed) + chunk(good, 0) + good.substr(kHeader + kSealed);
    damaged["chunk left out"] =
        good.substr(0, kHeader + kSealed) + good.substr(kHeader + 2 * kSealed);
    damaged["bytes appended"] = good + std::string(5, 'x');
    // A full chunk appended after the last one.
    damaged["chunk appended"] = good + chunk(good, 0);
    for (std::size_t at :
         std::initializer_list<std::size_t>{18, 20, 23, 38, 40, 43, // rounds, salt, chunk size
                                            kHeader, kHeader + 11,  // a nonce
                                            kHeader + 12, kHeader + 2000, // ciphertext
                                            kHeader + kSealed - 1,        // a tag
                                            kHeader + 3 * kSealed + 500,  // the last chunk
                                            good.size() - 1}) {
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x01);
        damaged["bit " + std::to_string(at)] = flipped;
    }
    // An archive of many chunks is checked on several threads at once: a
    // change anywhere in it is found all the same.
    const std::string long_ = encrypt(noise(100 * 4096 + 10, 12));
    EXPECT_EQ(failureOf(long_), "opened");
    for (std::size_t index : std::initializer_list<std::size_t>{0, 1, 37, 64, 99, 100}) {
        std::string flipped = long_;
        const std::size_t at = kHeader + index * kSealed + 20;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x80);
        damaged["chunk " + std::to_string(index) + " of 101"] = flipped;
    }
    damaged["the last of 101 chunks cut off"] = long_.substr(0, kHeader + 100 * kSealed);
    for (const auto& [what, bytes] : damaged) {
        EXPECT_EQ(failureOf(bytes), refused) << what;
    }
    // A later format says so rather than blaming the password.
    std::string later = good;
    later[16] = 2;
    EXPECT_EQ(failureOf(later),
              "The archive is encrypted in a way this version of Vellarion cannot read");
}

// Checking a chunk's tag without decrypting it (every chunk is checked so
// before an archive is read) agrees with decrypting it: for every length of
// the bound data and the chunk around GCM's 16-byte blocks, the sealed
// message holds and any changed bit, nonce or key does not.
TEST(Container, ATagCheckedAloneAgreesWithDecrypting) {
    using namespace vellarion::crypto;
    Key key{};
    Key other{};
    for (std::size_t i = 0; i < key.size(); ++i) {
        key[i] = static_cast<unsigned char>(i * 7 + 1);
        other[i] = key[i];
    }
    other[31] ^= 0x40;
    AesGcm cipher(key);
    AesGcm wrongKey(other);
    const auto bytesOf = [](const std::string& s) {
        return std::vector<unsigned char>(s.begin(), s.end());
    };
    // The published answers for a zero key and nonce: an empty message (an
    // archive's empty last chunk) and one block of zeros.
    {
        AesGcm zeroKey(Key{});
        const std::array<unsigned char, kNonceSize> nonce{};
        const auto hex = [](const unsigned char* p, std::size_t n) {
            std::string h;
            for (std::size_t i = 0; i < n; ++i) {
                h += "0123456789abcdef"[p[i] >> 4];
                h += "0123456789abcdef"[p[i] & 15];
            }
            return h;
        };
        const std::vector<unsigned char> block(16, 0);
        std::vector<unsigned char> sealed(16);
        std::array<unsigned char, kTagSize> tag{};
        zeroKey.seal(nonce, {}, {}, nullptr, tag);
        EXPECT_EQ(hex(tag.data(), tag.size()), "530f8afbc74536b9a963b4f1c4cb738b");
        tag = {};
        zeroKey.seal(nonce, {}, {block.data(), 0}, sealed.data(), tag); // as a last chunk
        EXPECT_EQ(hex(tag.data(), tag.size()), "530f8afbc74536b9a963b4f1c4cb738b");
        EXPECT_TRUE(zeroKey.authentic(nonce, {}, {}, tag));
        tag[15] ^= 1;
        EXPECT_FALSE(zeroKey.authentic(nonce, {}, {}, tag));
        EXPECT_FALSE(zeroKey.open(nonce, {}, {}, tag, nullptr));
        zeroKey.seal(nonce, {}, block, sealed.data(), tag);
        EXPECT_EQ(hex(sealed.data(), sealed.size()), "cea7403d4d606b6e074ec5d3baf39d18");
        EXPECT_EQ(hex(tag.data(), tag.size()), "d0d1c8a799996bf0265b98b5d48ab919");
        EXPECT_TRUE(zeroKey.authentic(nonce, {}, sealed, tag));
    }
    for (std::size_t aadSize : {0, 5, 16, 17, 32}) {
        for (std::size_t size : {0, 1, 15, 16, 17, 31, 100, 4096, 4097}) {
            SCOPED_TRACE(std::to_string(aadSize) + " bound, " + std::to_string(size) + " sealed");
            std::vector<unsigned char> nonce = bytesOf(noise(kNonceSize, 3 + size));
            std::vector<unsigned char> aad = bytesOf(noise(aadSize, 5 + size));
            std::vector<unsigned char> plain = bytesOf(noise(size, 7 + size));
            std::vector<unsigned char> sealed(size);
            std::vector<unsigned char> tag(kTagSize);
            cipher.seal(std::span<const unsigned char, kNonceSize>(nonce.data(), kNonceSize), aad,
                        plain, sealed.data(),
                        std::span<unsigned char, kTagSize>(tag.data(), kTagSize));
            const auto holds = [&](AesGcm& with) {
                const std::span<const unsigned char, kNonceSize> n(nonce.data(), kNonceSize);
                const std::span<const unsigned char, kTagSize> t(tag.data(), kTagSize);
                std::vector<unsigned char> out(size);
                const bool opened = with.open(n, aad, sealed, t, out.data());
                EXPECT_EQ(with.authentic(n, aad, sealed, t), opened);
                return opened;
            };
            EXPECT_TRUE(holds(cipher));
            EXPECT_FALSE(holds(wrongKey));
            std::vector<std::vector<unsigned char>*> parts{&nonce, &sealed, &tag, &aad};
            for (std::vector<unsigned char>* part : parts) {
                for (std::size_t at : {std::size_t{0}, part->size() / 2, part->size() - 1}) {
                    if (at >= part->size()) {
                        continue;
                    }
                    (*part)[at] ^= 0x10;
                    EXPECT_FALSE(holds(cipher)) << "changed at " << at;
                    (*part)[at] ^= 0x10;
                }
            }
            if (!sealed.empty()) {
                // One byte less of the chunk: the lengths are bound too.
                sealed.pop_back();
                EXPECT_FALSE(holds(cipher));
            }
        }
    }
}

TEST(Container, OnlyTheMagicMakesAnArchiveEncrypted) {
    MemoryStream encrypted(encrypt("x"));
    encrypted.seek(0);
    EXPECT_TRUE(isEncryptedArchive(encrypted));
    EXPECT_EQ(encrypted.position(), 0u);
    for (std::string plain :
         {std::string(), std::string("\0\0", 2), std::string("\0\0VellarionCryp", 15),
          // The worked example of the plain layout.
          std::string("\x00\x01\x61\x03\x00\x00\x00\x0B\x00\x00\x00"
                      "\x78\x9C\x4B\x4C\x4A\x06\x00\x02\x4D\x01\x27",
                      22)}) {
        MemoryStream stream(plain);
        EXPECT_FALSE(isEncryptedArchive(stream)) << plain.size();
    }
}

TEST(Container, SecretsAreWipedWhenMovedFrom) {
    Secret a("hunter2");
    Secret b = std::move(a);
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(b.view(), "hunter2");
    Secret c = b.copy();
    EXPECT_TRUE(c == b);
    c.clear();
    EXPECT_TRUE(c.empty());
    EXPECT_EQ(b.view(), "hunter2");
}

} // namespace
} // namespace vellarion::test

// The archive's key is PBKDF2-HMAC-SHA256 exactly: the published answers,
// and passwords shorter than, as long as and longer than SHA-256's block.
TEST(Container, TheKeyIsPbkdf2HmacSha256) {
    struct Case {
        std::string password;
        std::string salt;
        std::uint32_t iterations;
        std::string key; // hex
    };
    const Case cases[] = {
        {"passwd", "salt", 1, "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"},
        {"Password", "NaCl", 80000,
         "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"},
        {std::string(100, 'x'), "0123456789abcdef", 1000,
         "15d47c0768c0818b8f6d0160b7a5f0f697256000890573df3df8a6de1060fe51"},
        {"\xd0\xbf\xd0\xb0\xd1\x80\xd0\xbe\xd0\xbb\xd1\x8c", std::string(16, 'S'), 2,
         "285e15bdd3ef732333bc6090b7cc947553bb57adba35eb02289fcb7aeb90711a"},
        {"", "salt", 3, "5ddf839afa2d5fb4be56e1a0f48917617559bef61ec122bfca1c7f75ac8f401d"},
        {std::string(64, 'p'), "salt", 5,
         "64b8d1325c3236e24e9f3e11b66892be68a0f9a3238ecc95318e40f16808a8b1"},
    };
    for (const Case& c : cases) {
        vellarion::crypto::Key key{};
        vellarion::crypto::deriveKey(
            c.password, {reinterpret_cast<const unsigned char*>(c.salt.data()), c.salt.size()},
            c.iterations, key);
        std::string hex;
        for (unsigned char b : key) {
            hex += "0123456789abcdef"[b >> 4];
            hex += "0123456789abcdef"[b & 15];
        }
        EXPECT_EQ(hex, c.key) << c.password.size() << " bytes, " << c.iterations << " iterations";
    }
}

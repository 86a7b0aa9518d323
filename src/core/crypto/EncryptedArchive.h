#pragma once

#include "core/crypto/Cipher.h"
#include "core/crypto/Secret.h"
#include "core/services/Error.h"
#include "core/services/Stream.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The encrypted container around an archive's bytes (docs/archive-format.md):
// a header naming the key derivation and its salt, then the archive in
// chunks sealed with AES-256-GCM, each bound to its index, to whether it is
// the last one, and to the header. The codec reads and writes through these
// streams and never sees the difference.
namespace vellarion {

// An encrypted archive that cannot be read: nothing of it was used.
class EncryptedArchiveError : public Error {
public:
    using Error::Error;
};

// "Wrong password, or the archive is damaged": an encrypted archive that
// does not open with the password, or whose chunks were changed, moved or
// cut off. Nothing can tell a wrong password from damage.
class WrongPasswordError : public EncryptedArchiveError {
public:
    WrongPasswordError();
};

// An encrypted archive was to be read, and no password was given for it.
class PasswordNeededError : public EncryptedArchiveError {
public:
    explicit PasswordNeededError(std::string_view archiveName);
};

// The parameters an encrypted archive is written with.
struct EncryptionParameters {
    static constexpr std::uint32_t kIterations = 600000;
    static constexpr std::uint32_t kChunkSize = 256 * 1024;
    std::uint32_t iterations = kIterations;
    std::uint32_t chunkSize = kChunkSize;
};

// Whether the stream holds an encrypted archive (it starts with the
// container's magic). The position is left where it was.
bool isEncryptedArchive(Stream& stream);

// Writes an encrypted archive into `out` from its position on: the header
// at once, each chunk when it is full and more follows, the last chunk on
// finish(). Writes behind the end (the codec filling in a record's sizes,
// or dropping a record) reseal the chunks they touch with a new nonce. An
// archive without finish() has no last chunk and never opens.
class EncryptingStream final : public Stream {
public:
    EncryptingStream(Stream& out, const Secret& password, EncryptionParameters parameters = {});
    ~EncryptingStream() override;

    // Seals the last chunk. Nothing may be written after it.
    void finish();

    std::size_t read(void* buffer, std::size_t count) override;
    void write(const void* data, std::size_t count) override;
    std::uint64_t position() const override { return position_; }
    void seek(std::uint64_t position) override;
    std::uint64_t size() const override;
    void truncate(std::uint64_t size) override;

private:
    void seal(std::uint64_t index, const unsigned char* plain, std::size_t size, bool last);
    // The sealed chunk's plaintext read back into `plain_`.
    void unseal(std::uint64_t index);
    void patch(const unsigned char* data, std::size_t count);
    // The key, once derived.
    crypto::AesGcm& cipher();

    Stream& out_;
    std::uint64_t start_; // out's offset of the header
    std::string header_;
    std::future<std::unique_ptr<crypto::AesGcm>> pendingCipher_;
    std::unique_ptr<crypto::AesGcm> cipher_;
    std::size_t chunkSize_;
    std::uint64_t sealed_ = 0;         // full chunks on disk, all before open_
    std::vector<unsigned char> open_;  // the plaintext of chunk `sealed_`
    std::vector<unsigned char> plain_; // scratch: a chunk read back
    std::vector<unsigned char> sealedBuffer_;
    std::array<unsigned char, 4> noncePrefix_{};
    std::uint64_t seals_ = 0; // the nonce's counter
    std::uint64_t position_ = 0;
    bool finished_ = false;
};

// Reads an encrypted archive from `in` (positioned at its header). The
// constructor derives the key and checks every chunk (on several threads),
// so that a wrong password, a chunk changed, moved, repeated or cut off,
// throws WrongPasswordError before a single byte was handed out; reading
// checks each chunk again as it decrypts it. While the archive is read from
// start to end, the chunks after the one being read are decrypted ahead on a
// thread of the stream's own, so that the reader (an unpack's writer, busy
// with the disk) does not decrypt them itself. `in` is the stream's alone
// while it lives.
class DecryptingStream final : public Stream {
public:
    DecryptingStream(Stream& in, const Secret& password);
    ~DecryptingStream() override;

    std::size_t read(void* buffer, std::size_t count) override;
    void write(const void* data, std::size_t count) override;
    std::uint64_t position() const override { return position_; }
    void seek(std::uint64_t position) override { position_ = position; }
    std::uint64_t size() const override { return size_; }
    void truncate(std::uint64_t size) override;

    // Chunks decrypted ahead of the reader at most.
    static constexpr std::size_t kAhead = 4;

private:
    struct Slot;

    // Reads chunk `index` into `sealed` (one reader at a time where the
    // archive's stream needs it); its plain size, or kUnread when cut short.
    std::size_t readChunk(std::uint64_t index, std::vector<unsigned char>& sealed);
    static constexpr std::size_t kUnread = SIZE_MAX;
    // Reads chunk `index` and decrypts it with `cipher` into `plain`, or
    // with no `plain` only checks its tag; false when it does not open.
    bool openChunk(std::uint64_t index, crypto::AesGcm& cipher, std::vector<unsigned char>& sealed,
                   std::vector<unsigned char>* plain);
    void checkEveryChunk(const crypto::Key& key);
    // Decrypts chunk `index` into `plain_` (when it is not there already).
    void load(std::uint64_t index);
    // Asks for the chunks after `index` to be decrypted ahead.
    void wantAfter(std::uint64_t index);
    void aheadMain();

    Stream& in_;
    std::uint64_t start_;
    std::string header_;
    std::unique_ptr<crypto::AesGcm> cipher_;
    std::unique_ptr<crypto::AesGcm> aheadCipher_;
    std::size_t chunkSize_ = 0;
    std::uint64_t chunks_ = 0;
    std::uint64_t size_ = 0;
    std::vector<unsigned char> sealedBuffer_;
    std::vector<unsigned char> plain_;
    std::uint64_t loaded_ = UINT64_MAX;
    std::uint64_t position_ = 0;

    std::mutex inMutex_;
    std::mutex aheadMutex_;
    std::condition_variable aheadWake_;
    std::vector<std::unique_ptr<Slot>> slots_;
    bool stopping_ = false;
    std::thread ahead_;
};

} // namespace vellarion

#include "core/crypto/EncryptedArchive.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <future>

namespace vellarion {

namespace {

// Two zero bytes first: read as a plain archive, a record with no folder and
// no name, which no writer stores; every reader of the plain layout then
// finds a CompressedSize running past the end and refuses the file whole.
constexpr std::string_view kMagic{"\0\0VellarionCrypt", 16};
constexpr unsigned char kVersion = 1;
constexpr unsigned char kPbkdf2Sha256 = 1;
constexpr unsigned char kAes256Gcm = 1;
constexpr std::size_t kSaltSize = 16;
// magic, version, KDF, iterations, salt length, salt, cipher, chunk size
constexpr std::size_t kHeaderSize = 16 + 1 + 1 + 4 + 1 + kSaltSize + 1 + 4;
constexpr std::size_t kOverhead = crypto::kNonceSize + crypto::kTagSize;
// What a reader accepts: enough to refuse a header that would have it
// derive a key for hours or allocate without bound.
constexpr std::uint32_t kMaxIterations = 20000000;
constexpr std::uint32_t kMinChunk = 4096;
constexpr std::uint32_t kMaxChunk = 16 * 1024 * 1024;

void putLittleEndian(unsigned char* p, std::uint64_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) {
        p[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

std::uint32_t littleEndian32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

const unsigned char* bytesOf(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

// What every chunk's tag covers besides its ciphertext: the whole header,
// the chunk's index and whether it is the last one.
class ChunkAad {
public:
    explicit ChunkAad(const std::string& header) : bytes_(header.begin(), header.end()) {
        bytes_.resize(header.size() + 9);
    }
    std::span<const unsigned char> of(std::uint64_t index, bool last) {
        unsigned char* tail = bytes_.data() + bytes_.size() - 9;
        putLittleEndian(tail, index, 8);
        tail[8] = last ? 1 : 0;
        return bytes_;
    }

private:
    std::vector<unsigned char> bytes_;
};

std::unique_ptr<crypto::AesGcm> cipherFor(const Secret& password, const unsigned char* salt,
                                          std::uint32_t iterations) {
    crypto::Key key{};
    crypto::deriveKey(password.view(), {salt, kSaltSize}, iterations, key);
    auto cipher = std::make_unique<crypto::AesGcm>(key);
    wipeMemory(key.data(), key.size());
    return cipher;
}

} // namespace

crypto::CryptoError::CryptoError(std::string_view what) : Error(std::string(what)) {}

WrongPasswordError::WrongPasswordError()
    : EncryptedArchiveError("Wrong password, or the archive is damaged") {}

PasswordNeededError::PasswordNeededError(std::string_view archiveName)
    : EncryptedArchiveError("\"" + std::string(archiveName) +
                            "\" is encrypted; no password was given for it") {}

bool isEncryptedArchive(Stream& stream) {
    const std::uint64_t at = stream.position();
    char start[kMagic.size()];
    const std::size_t n = stream.read(start, sizeof start);
    stream.seek(at);
    return n == sizeof start && std::string_view(start, n) == kMagic;
}

// --- Writing ---

EncryptingStream::EncryptingStream(Stream& out, const Secret& password,
                                   EncryptionParameters parameters)
    : out_(out), start_(out.position()), chunkSize_(parameters.chunkSize) {
    std::array<unsigned char, kSaltSize> salt{};
    crypto::randomBytes(salt);
    header_.assign(kHeaderSize, '\0');
    auto* h = reinterpret_cast<unsigned char*>(header_.data());
    std::memcpy(h, kMagic.data(), kMagic.size());
    h[16] = kVersion;
    h[17] = kPbkdf2Sha256;
    putLittleEndian(h + 18, parameters.iterations, 4);
    h[22] = static_cast<unsigned char>(kSaltSize);
    std::memcpy(h + 23, salt.data(), kSaltSize);
    h[39] = kAes256Gcm;
    putLittleEndian(h + 40, parameters.chunkSize, 4);
    // The key is derived beside the packing that starts meanwhile: only the
    // first chunk sealed waits for it.
    pendingCipher_ = std::async(std::launch::async, [password = password.copy(), salt, parameters] {
        return cipherFor(password, salt.data(), parameters.iterations);
    });
    // Nonces count the seals of this stream's key (a chunk sealed again gets
    // a new one); the key is the archive's own, from its random salt.
    crypto::randomBytes(noncePrefix_);
    open_.reserve(chunkSize_);
    sealedBuffer_.resize(chunkSize_ + kOverhead);
    out_.write(header_.data(), header_.size());
}

EncryptingStream::~EncryptingStream() {
    if (pendingCipher_.valid()) {
        pendingCipher_.wait();
    }
}

crypto::AesGcm& EncryptingStream::cipher() {
    if (pendingCipher_.valid()) {
        cipher_ = pendingCipher_.get(); // rethrows what the derivation threw
    }
    return *cipher_;
}

void EncryptingStream::seal(std::uint64_t index, const unsigned char* plain, std::size_t size,
                            bool last) {
    unsigned char* nonce = sealedBuffer_.data();
    std::memcpy(nonce, noncePrefix_.data(), noncePrefix_.size());
    putLittleEndian(nonce + noncePrefix_.size(), seals_++, 8);
    ChunkAad aad(header_);
    cipher().seal(std::span<const unsigned char, crypto::kNonceSize>(nonce, crypto::kNonceSize),
                  aad.of(index, last), {plain, size}, nonce + crypto::kNonceSize,
                  std::span<unsigned char, crypto::kTagSize>(nonce + crypto::kNonceSize + size,
                                                             crypto::kTagSize));
    out_.seek(start_ + kHeaderSize + index * (chunkSize_ + kOverhead));
    out_.write(sealedBuffer_.data(), size + kOverhead);
}

void EncryptingStream::unseal(std::uint64_t index) {
    out_.seek(start_ + kHeaderSize + index * (chunkSize_ + kOverhead));
    const std::size_t length = chunkSize_ + kOverhead;
    plain_.resize(chunkSize_);
    ChunkAad aad(header_);
    const unsigned char* nonce = sealedBuffer_.data();
    if (out_.read(sealedBuffer_.data(), length) != length ||
        !cipher().open(
            std::span<const unsigned char, crypto::kNonceSize>(nonce, crypto::kNonceSize),
            aad.of(index, false), {nonce + crypto::kNonceSize, chunkSize_},
            std::span<const unsigned char, crypto::kTagSize>(
                nonce + crypto::kNonceSize + chunkSize_, crypto::kTagSize),
            plain_.data())) {
        throw crypto::CryptoError("The archive being written changed on the disk");
    }
}

void EncryptingStream::write(const void* data, std::size_t count) {
    if (finished_) {
        throw crypto::CryptoError("The encrypted archive is complete already");
    }
    const auto* p = static_cast<const unsigned char*>(data);
    while (count > 0) {
        const std::uint64_t openStart = sealed_ * chunkSize_;
        if (position_ < openStart) {
            // Behind the open chunk: the chunk is read back, changed and
            // sealed again in its place.
            const std::uint64_t index = position_ / chunkSize_;
            const std::size_t offset = static_cast<std::size_t>(position_ - index * chunkSize_);
            const std::size_t n = std::min(count, chunkSize_ - offset);
            unseal(index);
            std::memcpy(plain_.data() + offset, p, n);
            seal(index, plain_.data(), chunkSize_, false);
            p += n;
            count -= n;
            position_ += n;
            continue;
        }
        const std::uint64_t offset = position_ - openStart;
        if (offset > open_.size()) {
            throw crypto::CryptoError("Cannot write past the end of an encrypted archive");
        }
        if (offset == chunkSize_) {
            // The open chunk is full and more follows: it is not the last.
            seal(sealed_++, open_.data(), chunkSize_, false);
            open_.clear();
            continue;
        }
        if (open_.empty() && count > chunkSize_) {
            // A whole chunk and more at hand: sealed straight from it.
            seal(sealed_++, p, chunkSize_, false);
            p += chunkSize_;
            count -= chunkSize_;
            position_ += chunkSize_;
            continue;
        }
        const std::size_t at = static_cast<std::size_t>(offset);
        const std::size_t n = std::min(count, chunkSize_ - at);
        if (at + n > open_.size()) {
            open_.resize(at + n);
        }
        std::memcpy(open_.data() + at, p, n);
        p += n;
        count -= n;
        position_ += n;
    }
}

std::size_t EncryptingStream::read(void*, std::size_t) {
    throw crypto::CryptoError("An encrypted archive being written cannot be read");
}

void EncryptingStream::seek(std::uint64_t position) {
    position_ = position;
}

std::uint64_t EncryptingStream::size() const {
    return sealed_ * chunkSize_ + open_.size();
}

void EncryptingStream::truncate(std::uint64_t size) {
    const std::uint64_t openStart = sealed_ * chunkSize_;
    if (size >= openStart) {
        open_.resize(
            std::min<std::size_t>(open_.size(), static_cast<std::size_t>(size - openStart)));
        return;
    }
    // The chunk holding the new last byte becomes the open one again.
    const std::uint64_t index = size == 0 ? 0 : (size - 1) / chunkSize_;
    open_.clear();
    if (size > 0) {
        unseal(index);
        open_.assign(plain_.begin(),
                     plain_.begin() + static_cast<std::ptrdiff_t>(size - index * chunkSize_));
    }
    sealed_ = index;
    out_.truncate(start_ + kHeaderSize + index * (chunkSize_ + kOverhead));
}

void EncryptingStream::finish() {
    if (!finished_) {
        seal(sealed_, open_.data(), open_.size(), true);
        finished_ = true;
    }
}

// --- Reading ---

struct DecryptingStream::Slot {
    enum class State { Free, Wanted, Working, Ready, Failed };
    State state = State::Free;
    std::uint64_t index = 0;
    std::vector<unsigned char> plain;
    std::exception_ptr failure; // what reading it threw, when it did not merely fail to open
};

DecryptingStream::DecryptingStream(Stream& in, const Secret& password)
    : in_(in), start_(in.position()) {
    header_.assign(kHeaderSize, '\0');
    if (in_.read(header_.data(), kHeaderSize) != kHeaderSize ||
        std::string_view(header_).substr(0, kMagic.size()) != kMagic) {
        throw WrongPasswordError();
    }
    const unsigned char* h = bytesOf(header_);
    if (h[16] != kVersion || h[17] != kPbkdf2Sha256 || h[22] != kSaltSize || h[39] != kAes256Gcm) {
        throw EncryptedArchiveError(
            "The archive is encrypted in a way this version of Vellarion cannot read");
    }
    const std::uint32_t iterations = littleEndian32(h + 18);
    const std::uint32_t chunk = littleEndian32(h + 40);
    if (iterations == 0 || iterations > kMaxIterations || chunk < kMinChunk || chunk > kMaxChunk) {
        throw WrongPasswordError();
    }
    chunkSize_ = chunk;
    const std::uint64_t end = in_.size();
    const std::uint64_t body = end > start_ + kHeaderSize ? end - start_ - kHeaderSize : 0;
    const std::uint64_t sealedSize = chunkSize_ + kOverhead;
    chunks_ = (body + sealedSize - 1) / sealedSize;
    const std::uint64_t lastSize = body - (chunks_ == 0 ? 0 : (chunks_ - 1) * sealedSize);
    if (chunks_ == 0 || lastSize < kOverhead) {
        // Not even a last chunk: cut off.
        throw WrongPasswordError();
    }
    size_ = (chunks_ - 1) * chunkSize_ + (lastSize - kOverhead);
    crypto::Key key{};
    try {
        crypto::deriveKey(password.view(), {h + 23, kSaltSize}, iterations, key);
        cipher_ = std::make_unique<crypto::AesGcm>(key);
        aheadCipher_ = std::make_unique<crypto::AesGcm>(key);
        sealedBuffer_.resize(sealedSize);
        plain_.resize(chunkSize_);
        // Every chunk checked before anything is used.
        checkEveryChunk(key);
    } catch (...) {
        wipeMemory(key.data(), key.size());
        throw;
    }
    wipeMemory(key.data(), key.size());
}

DecryptingStream::~DecryptingStream() {
    {
        std::lock_guard lock(aheadMutex_);
        stopping_ = true;
    }
    aheadWake_.notify_all();
    if (ahead_.joinable()) {
        ahead_.join();
    }
    for (const auto& slot : slots_) {
        wipeMemory(slot->plain.data(), slot->plain.size());
    }
    wipeMemory(plain_.data(), plain_.size());
}

std::size_t DecryptingStream::readChunk(std::uint64_t index, std::vector<unsigned char>& sealed) {
    const bool last = index + 1 == chunks_;
    const std::size_t plainSize =
        last ? static_cast<std::size_t>(size_ - index * chunkSize_) : chunkSize_;
    const std::size_t length = plainSize + kOverhead;
    sealed.resize(chunkSize_ + kOverhead);
    const std::uint64_t at = start_ + kHeaderSize + index * (chunkSize_ + kOverhead);
    std::unique_lock lock(inMutex_, std::defer_lock);
    if (!in_.readsConcurrently()) {
        lock.lock();
    }
    return in_.readAt(at, sealed.data(), length) == length ? plainSize : kUnread;
}

bool DecryptingStream::openChunk(std::uint64_t index, crypto::AesGcm& cipher,
                                 std::vector<unsigned char>& sealed,
                                 std::vector<unsigned char>* plain) {
    const std::size_t plainSize = readChunk(index, sealed);
    if (plainSize == kUnread) {
        return false;
    }
    ChunkAad aad(header_);
    const unsigned char* nonce = sealed.data();
    const std::span<const unsigned char, crypto::kNonceSize> nonceSpan(nonce, crypto::kNonceSize);
    const std::span<const unsigned char> ciphertext(nonce + crypto::kNonceSize, plainSize);
    const std::span<const unsigned char, crypto::kTagSize> tag(
        nonce + crypto::kNonceSize + plainSize, crypto::kTagSize);
    const std::span<const unsigned char> bound = aad.of(index, index + 1 == chunks_);
    if (plain == nullptr) {
        return cipher.authentic(nonceSpan, bound, ciphertext, tag);
    }
    plain->resize(chunkSize_);
    return cipher.open(nonceSpan, bound, ciphertext, tag, plain->data());
}

void DecryptingStream::checkEveryChunk(const crypto::Key& key) {
    // A few threads take the chunks in turn, each reading its own where the
    // archive allows it, and check their tags without decrypting them.
    constexpr unsigned kMostCheckers = 4;
    constexpr std::uint64_t kChunksPerChecker = 16;
    const unsigned checkers = static_cast<unsigned>(
        std::min<std::uint64_t>({std::max(1U, std::thread::hardware_concurrency()), kMostCheckers,
                                 (chunks_ + kChunksPerChecker - 1) / kChunksPerChecker}));
    std::atomic<std::uint64_t> next{0};
    std::atomic<bool> wrong{false};
    std::mutex failedMutex;
    std::exception_ptr failed;
    const auto check = [&](crypto::AesGcm& cipher) {
        std::vector<unsigned char> sealed;
        try {
            for (std::uint64_t i; !wrong && (i = next.fetch_add(1)) < chunks_;) {
                if (!openChunk(i, cipher, sealed, nullptr)) {
                    wrong = true;
                }
            }
        } catch (...) {
            std::lock_guard lock(failedMutex);
            failed = failed ? failed : std::current_exception();
            wrong = true;
        }
    };
    std::vector<std::unique_ptr<crypto::AesGcm>> ciphers;
    std::vector<std::thread> threads;
    try {
        for (unsigned t = 1; t < checkers; ++t) {
            ciphers.push_back(std::make_unique<crypto::AesGcm>(key));
            threads.emplace_back(check, std::ref(*ciphers.back()));
        }
    } catch (...) {
        wrong = true; // the threads there are end at once
        for (std::thread& thread : threads) {
            thread.join();
        }
        throw;
    }
    check(*cipher_);
    for (std::thread& thread : threads) {
        thread.join();
    }
    if (failed) {
        std::rethrow_exception(failed);
    }
    if (wrong) {
        throw WrongPasswordError();
    }
}

void DecryptingStream::aheadMain() {
    std::vector<unsigned char> sealed;
    std::unique_lock lock(aheadMutex_);
    for (;;) {
        Slot* work = nullptr;
        aheadWake_.wait(lock, [&] {
            if (stopping_) {
                return true;
            }
            for (const auto& slot : slots_) {
                if (slot->state == Slot::State::Wanted &&
                    (work == nullptr || slot->index < work->index)) {
                    work = slot.get();
                }
            }
            return work != nullptr;
        });
        if (stopping_) {
            return;
        }
        work->state = Slot::State::Working;
        const std::uint64_t index = work->index;
        std::vector<unsigned char> plain = std::move(work->plain);
        lock.unlock();
        bool opened = false;
        std::exception_ptr failure;
        try {
            opened = openChunk(index, *aheadCipher_, sealed, &plain);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        work->plain = std::move(plain);
        work->failure = failure;
        work->state = opened ? Slot::State::Ready : Slot::State::Failed;
        aheadWake_.notify_all();
    }
}

void DecryptingStream::wantAfter(std::uint64_t index) {
    // Called with aheadMutex_ held.
    if (slots_.empty()) {
        for (std::size_t i = 0; i < kAhead; ++i) {
            slots_.push_back(std::make_unique<Slot>());
        }
        ahead_ = std::thread([this] { aheadMain(); });
    }
    const std::uint64_t last = std::min<std::uint64_t>(chunks_, index + 1 + kAhead);
    for (std::uint64_t want = index + 1; want < last; ++want) {
        const auto has = [&](const auto& slot) {
            return slot->state != Slot::State::Free && slot->index == want;
        };
        if (std::any_of(slots_.begin(), slots_.end(), has)) {
            continue;
        }
        // A free slot, or one holding a chunk the reader has passed or
        // will not come to soon (it read elsewhere).
        const auto reusable = [&](const auto& slot) {
            return slot->state == Slot::State::Free ||
                   (slot->state != Slot::State::Working &&
                    (slot->index <= index || slot->index >= last));
        };
        const auto slot = std::find_if(slots_.begin(), slots_.end(), reusable);
        if (slot == slots_.end()) {
            break;
        }
        (*slot)->state = Slot::State::Wanted;
        (*slot)->index = want;
        (*slot)->failure = nullptr;
    }
    aheadWake_.notify_all();
}

void DecryptingStream::load(std::uint64_t index) {
    if (index == loaded_) {
        return;
    }
    loaded_ = UINT64_MAX;
    std::unique_lock lock(aheadMutex_);
    Slot* found = nullptr;
    for (const auto& slot : slots_) {
        if (slot->state != Slot::State::Free && slot->index == index) {
            found = slot.get();
        }
    }
    if (found != nullptr && found->state == Slot::State::Wanted) {
        found->state = Slot::State::Free; // read here rather than waited for
        found = nullptr;
    }
    if (found != nullptr) {
        aheadWake_.wait(lock, [&] { return found->state != Slot::State::Working; });
        const bool opened = found->state == Slot::State::Ready;
        const std::exception_ptr failure = found->failure;
        std::swap(plain_, found->plain);
        found->state = Slot::State::Free;
        found->failure = nullptr;
        if (failure) {
            std::rethrow_exception(failure);
        }
        if (!opened) {
            throw WrongPasswordError();
        }
    } else {
        lock.unlock();
        if (!openChunk(index, *cipher_, sealedBuffer_, &plain_)) {
            throw WrongPasswordError();
        }
        lock.lock();
    }
    loaded_ = index;
    wantAfter(index);
}

std::size_t DecryptingStream::read(void* buffer, std::size_t count) {
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t total = 0;
    while (total < count && position_ < size_) {
        const std::uint64_t index = position_ / chunkSize_;
        load(index);
        const std::size_t offset = static_cast<std::size_t>(position_ - index * chunkSize_);
        const std::size_t available = static_cast<std::size_t>(std::min<std::uint64_t>(
                                          chunkSize_, size_ - index * chunkSize_)) -
                                      offset;
        const std::size_t n = std::min(count - total, available);
        std::memcpy(out + total, plain_.data() + offset, n);
        total += n;
        position_ += n;
    }
    return total;
}

void DecryptingStream::write(const void*, std::size_t) {
    throw crypto::CryptoError("An encrypted archive being read cannot be written");
}

void DecryptingStream::truncate(std::uint64_t) {
    throw crypto::CryptoError("An encrypted archive being read cannot be written");
}

} // namespace vellarion

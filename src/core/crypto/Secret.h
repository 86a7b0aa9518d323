#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace vellarion {

// A password held in memory only as long as it is needed: its bytes are
// overwritten when it goes, and it is never copied by accident. It has no
// way to be printed; only the key derivation reads it.
class Secret {
public:
    Secret() = default;
    explicit Secret(std::string_view text) : bytes_(text.begin(), text.end()) {}
    ~Secret() { clear(); }
    Secret(const Secret&) = delete;
    Secret& operator=(const Secret&) = delete;
    Secret(Secret&& other) noexcept : bytes_(std::move(other.bytes_)) { other.clear(); }
    Secret& operator=(Secret&& other) noexcept {
        if (this != &other) {
            clear();
            bytes_ = std::move(other.bytes_);
            other.clear();
        }
        return *this;
    }

    // A copy made on purpose (a job that packs several archives).
    Secret copy() const {
        Secret s;
        s.bytes_ = bytes_;
        return s;
    }

    bool empty() const { return bytes_.empty(); }
    std::string_view view() const {
        return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
    }
    bool operator==(const Secret& other) const { return bytes_ == other.bytes_; }

    void clear();

private:
    std::vector<unsigned char> bytes_;
};

// Overwrites memory in a way the compiler may not leave out.
void wipeMemory(void* data, std::size_t size);

} // namespace vellarion

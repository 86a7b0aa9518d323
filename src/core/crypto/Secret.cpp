#include "core/crypto/Secret.h"

namespace vellarion {

void wipeMemory(void* data, std::size_t size) {
    // Through a volatile pointer, so that a wipe just before the memory is
    // freed is not left out as a dead store.
    volatile auto* p = static_cast<volatile unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        p[i] = 0;
    }
}

void Secret::clear() {
    wipeMemory(bytes_.data(), bytes_.size());
    bytes_.clear();
}

} // namespace vellarion

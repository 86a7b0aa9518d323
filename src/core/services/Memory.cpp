#include "core/services/Memory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vellarion {

void keepFreedMemoryForReuse() {
#if defined(__GLIBC__)
    // Buffers up to 32 MiB (the largest the allocator allows here) come from
    // the heap rather than a mapping of their own, and a heap's free top is
    // kept rather than trimmed.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
#endif
}

} // namespace vellarion

// libFuzzer target: archives of any bytes go through the listing and the
// unpacking. A vellarion::Error is the expected answer to damage; anything
// else escaping, a crash, a leak or undefined behaviour is a finding.
#include "core/archive/JvZlibMultiple.h"
#include "core/services/Error.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vellarion;
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    TJvZlibMultiple codec;
    MemoryStream stream(bytes);
    std::vector<std::string> entries;
    try {
        codec.ListStoredFiles(stream, entries);
    } catch (const Error&) {
    }

    // Unpack without touching the disk: every record is inflated, nothing is
    // written, no folder is made.
    codec.ForceDirectoriesFlag = false;
    codec.OnDecompressingFile = [](TJvZlibMultiple&, const std::string&, bool& write) {
        write = false;
    };
    stream.seek(0);
    try {
        codec.DecompressStream(stream, "fuzz-target-that-is-never-written", true, true);
    } catch (const Error&) {
    }
    return 0;
}

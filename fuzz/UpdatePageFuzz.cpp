// libFuzzer target: update pages of any bytes are decoded, split into lines
// and read for their META tags; the tags' values go through the version
// comparison in every format and the address splitting, as a check would
// use them. Nothing may crash, hang or read out of bounds.
#include "core/update/UpdateRules.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vellarion;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const std::string& line : splitLines(decodePageText(bytes))) {
        const std::optional<MetaTag> tag = readMetaLine(line);
        if (!tag) {
            continue;
        }
        for (TmxVersionFormat format : {vfStandard, vfString, vfNumber}) {
            (void)isNewerVersion("2.1.3", tag->value, format);
            (void)isNewerVersion(tag->value, "2.1.3", format);
        }
        const ParsedUrl url = parseUpdateUrl(tag->value);
        (void)composeUrl(url, 80);
        (void)normalizeProductUrl(tag->value);
    }
    return 0;
}

// libFuzzer target: registry files of any bytes (a prefix's user.reg, a saved
// key inside a backup) are read, their values decoded, a key saved and put
// back, and the text written again. A vellarion::Error is the expected
// answer to damage; anything else is a finding.
#include "core/services/Error.h"
#include "core/services/registry/RegistryText.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vellarion;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        RegistryText hive = RegistryText::parse(bytes);
        for (const RegistryKeySection& section : hive.sections()) {
            for (const RegistryValue& value : parseValues(section)) {
                (void)formatValue(value);
            }
        }
        // What is read unchanged is written back byte for byte: the rest of
        // a user's registry must survive an edit of one key.
        if (hive.serialize() != bytes) {
            __builtin_trap();
        }
        if (!hive.sections().empty()) {
            const std::string key = hive.sections().front().path;
            if (std::optional<RegistryText> saved = hive.saveKey(key)) {
                hive.restoreKey(key, RegistryText::parse(saved->serialize()));
            }
        }
    } catch (const Error&) {
    }
    return 0;
}

#pragma once

#include "core/browsers/CarriedKeys.h"

#include <string>
#include <string_view>

namespace vellarion {

// The Chromium family's key of saved passwords and cookies, moved with an
// encrypted archive. On Windows it is `os_crypt.encrypted_key` of "Local
// State" ("DPAPI" and a blob the user's data protection opens); on Linux the
// member's "Safe Storage" password in the Secret Service, filed under its
// application name (docs/browser-data.md). A restore gives the key to a
// target that has none; a target with a key of its own keeps it, and the
// restored passwords and cookies are encrypted again with it.
struct SafeStorageName {
    std::string_view browser;     // "Chromium": what the user is told
    std::string_view application; // "chromium"
    std::string_view label;       // "Chromium Safe Storage"
};
CarriedKeyHooks chromiumKeyHooks(SafeStorageName name);

// "Local State" with `os_crypt.encrypted_key` set to `value` and every other
// key and value as it was; an empty text becomes the smallest that holds it.
std::string withEncryptedKey(std::string_view localState, std::string_view value);

} // namespace vellarion

#pragma once

#include "core/crypto/Secret.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vellarion {

class SystemServices;

namespace crypto {
class DataProtector;
class SecretStore;
} // namespace crypto

// Where a job finds the system's keys: the system's own, or a test's.
struct KeyStores {
    crypto::DataProtector* protector = nullptr;
    crypto::SecretStore* secrets = nullptr;
};
KeyStores systemKeyStores();

// What a browser's key hooks work on: the data root (a program path) and
// what the user is to be told, each sentence once.
struct KeyContext {
    SystemServices& services;
    const KeyStores& stores;
    std::string dataRoot;
    std::vector<std::string>& said;
};

// The key a browser encrypts its saved passwords and cookies with, as it is
// readable on the system that made the backup. Only an encrypted archive
// carries it (docs/archive-format.md).
struct CarriedKeyHooks {
    // The record to carry for the data root; none when there is no key to
    // carry.
    std::function<std::optional<Secret>(const KeyContext&)> carry{};
    // A restore adopts the carried record for its target, before the files
    // unpacked below the folder are put in place (they may be changed
    // there); what it returns runs once they are.
    std::function<std::function<void()>(const KeyContext&, const Secret& carried,
                                        const std::filesystem::path& unpacked)>
        adopt{};
    // A backup of the folder (a data root or a profile, a program path) in a
    // plain archive: what the user is to know of its passwords and cookies
    // ("" for nothing).
    std::function<std::string(const KeyContext&, const std::string& folder)> plainBackupNote{};
    // A restore of a plain archive, no key carried: what of the passwords
    // and cookies unpacked below the folder the target's key will not open
    // is said (once).
    std::function<void(const KeyContext&, const std::filesystem::path& unpacked)> withoutKey{};
};

// Adds the sentence once.
inline void sayOnce(std::vector<std::string>& said, std::string text) {
    for (const std::string& each : said) {
        if (each == text) {
            return;
        }
    }
    said.push_back(std::move(text));
}

} // namespace vellarion

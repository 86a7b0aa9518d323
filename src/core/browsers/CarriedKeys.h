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

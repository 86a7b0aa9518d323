#pragma once

#include "core/crypto/Secret.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Where the system keeps a user's keys, one implementation per platform:
// the data protection of Windows (crypt32), the Secret Service of a Linux
// desktop session (libsecret, loaded when first needed). The browsers' keys
// move between machines through these; tests put machines of their own in.
namespace vellarion::crypto {

// Data sealed for the user and machine that protect it (DPAPI).
class DataProtector {
public:
    virtual ~DataProtector() = default;
    // None when the blob was not protected for this user here.
    virtual std::optional<Secret> unprotect(std::span<const unsigned char> blob) = 0;
    // Throws CryptoError when the system refuses.
    virtual std::vector<unsigned char> protect(std::span<const unsigned char> data) = 0;
};

// The session's Secret Service: the passwords a browser keeps there under
// its application's name.
class SecretStore {
public:
    struct Lookup {
        std::optional<Secret> password; // none: the keyring holds none
        std::string error;              // not empty: the service could not be asked
    };
    virtual ~SecretStore() = default;
    virtual Lookup lookup(std::string_view application) = 0;
    // "" when stored, else why not.
    virtual std::string store(std::string_view application, std::string_view label,
                              const Secret& password) = 0;
};

// The system's own (null where the platform has none of the kind).
DataProtector* systemDataProtector();
SecretStore* systemSecretStore();

} // namespace vellarion::crypto

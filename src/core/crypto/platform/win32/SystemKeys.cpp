// The user's keys through the data protection of Windows (crypt32).
#include "core/crypto/SystemKeys.h"

#include "core/crypto/Cipher.h"

#include <windows.h>
// After windows.h.
#include <dpapi.h>

namespace vellarion::crypto {

namespace {

DATA_BLOB blobOf(std::span<const unsigned char> bytes) {
    return {static_cast<DWORD>(bytes.size()), const_cast<BYTE*>(bytes.data())};
}

class WindowsProtector final : public DataProtector {
public:
    std::optional<Secret> unprotect(std::span<const unsigned char> blob) override {
        DATA_BLOB in = blobOf(blob);
        DATA_BLOB out{};
        if (!CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                                &out)) {
            return std::nullopt;
        }
        Secret plain(std::string_view(reinterpret_cast<const char*>(out.pbData), out.cbData));
        wipeMemory(out.pbData, out.cbData);
        LocalFree(out.pbData);
        return plain;
    }

    std::vector<unsigned char> protect(std::span<const unsigned char> data) override {
        DATA_BLOB in = blobOf(data);
        DATA_BLOB out{};
        if (!CryptProtectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                              &out)) {
            throw CryptoError("Windows could not protect the browser's key for this user");
        }
        std::vector<unsigned char> blob(out.pbData, out.pbData + out.cbData);
        LocalFree(out.pbData);
        return blob;
    }
};

} // namespace

DataProtector* systemDataProtector() {
    static WindowsProtector protector;
    return &protector;
}

SecretStore* systemSecretStore() {
    return nullptr;
}

} // namespace vellarion::crypto

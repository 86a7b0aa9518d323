// The user's keys in the session's Secret Service, through libsecret. The
// library is loaded when first needed, so that the program runs where it is
// missing: the user is told instead.
#include "core/crypto/SystemKeys.h"

#include <dlfcn.h>
#include <libsecret/secret.h>
#include <mutex>

namespace vellarion::crypto {

namespace {

// The schema the Chromium family files its "Safe Storage" password under;
// lookups match the application attribute alone, as the browsers' own do.
const SecretSchema kBrowserSchema = {
    "chrome_libsecret_os_crypt_password_v2",
    SECRET_SCHEMA_DONT_MATCH_NAME,
    {{"application", SECRET_SCHEMA_ATTRIBUTE_STRING}, {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
    0,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr};

struct Library {
    void* handle = nullptr;
    decltype(&secret_password_lookupv_sync) lookup = nullptr;
    decltype(&secret_password_storev_sync) store = nullptr;
    decltype(&secret_password_free) free = nullptr;
    decltype(&g_hash_table_new) newTable = nullptr;
    decltype(&g_hash_table_insert) insert = nullptr;
    decltype(&g_hash_table_unref) unref = nullptr;
    decltype(&g_str_hash) strHash = nullptr;
    decltype(&g_str_equal) strEqual = nullptr;
    decltype(&g_error_free) errorFree = nullptr;

    template <class F> bool bind(F& f, const char* name) {
        f = reinterpret_cast<F>(dlsym(handle, name));
        return f != nullptr;
    }
    bool load() {
        handle = dlopen("libsecret-1.so.0", RTLD_NOW | RTLD_LOCAL);
        return handle != nullptr && bind(lookup, "secret_password_lookupv_sync") &&
               bind(store, "secret_password_storev_sync") && bind(free, "secret_password_free") &&
               bind(newTable, "g_hash_table_new") && bind(insert, "g_hash_table_insert") &&
               bind(unref, "g_hash_table_unref") && bind(strHash, "g_str_hash") &&
               bind(strEqual, "g_str_equal") && bind(errorFree, "g_error_free");
    }
};

constexpr std::string_view kNoLibrary =
    "libsecret (libsecret-1.so.0) is not installed, so the Secret Service cannot be reached";

class LibsecretStore final : public SecretStore {
public:
    Lookup lookup(std::string_view application) override {
        Lookup result;
        const Library* lib = library();
        if (lib == nullptr) {
            result.error = kNoLibrary;
            return result;
        }
        const std::string app(application);
        GHashTable* attributes = attributesFor(*lib, app);
        GError* error = nullptr;
        gchar* password = lib->lookup(&kBrowserSchema, attributes, nullptr, &error);
        lib->unref(attributes);
        if (error != nullptr) {
            result.error = error->message != nullptr ? error->message : "unknown error";
            lib->errorFree(error);
        } else if (password != nullptr) {
            result.password.emplace(password);
        }
        if (password != nullptr) {
            lib->free(password); // libsecret wipes it
        }
        return result;
    }

    std::string store(std::string_view application, std::string_view label,
                      const Secret& password) override {
        const Library* lib = library();
        if (lib == nullptr) {
            return std::string(kNoLibrary);
        }
        const std::string app(application);
        const std::string text(label);
        std::string value(password.view());
        GHashTable* attributes = attributesFor(*lib, app);
        GError* error = nullptr;
        const gboolean stored = lib->store(&kBrowserSchema, attributes, SECRET_COLLECTION_DEFAULT,
                                           text.c_str(), value.c_str(), nullptr, &error);
        lib->unref(attributes);
        wipeMemory(value.data(), value.size());
        std::string why;
        if (error != nullptr) {
            why = error->message != nullptr ? error->message : "unknown error";
            lib->errorFree(error);
        } else if (!stored) {
            why = "the Secret Service refused it";
        }
        return why;
    }

private:
    static const Library* library() {
        static std::once_flag once;
        static Library lib;
        static bool loaded = false;
        std::call_once(once, [] { loaded = lib.load(); });
        return loaded ? &lib : nullptr;
    }
    static GHashTable* attributesFor(const Library& lib, const std::string& application) {
        GHashTable* table = lib.newTable(lib.strHash, lib.strEqual);
        lib.insert(table, const_cast<char*>("application"), const_cast<char*>(application.c_str()));
        return table;
    }
};

} // namespace

DataProtector* systemDataProtector() {
    return nullptr;
}

SecretStore* systemSecretStore() {
    static LibsecretStore store;
    return &store;
}

} // namespace vellarion::crypto

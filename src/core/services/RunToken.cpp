#include "core/services/RunToken.h"

#include "core/services/PathMapper.h"
#include "core/services/Sha256.h"
#include "core/services/platform/File.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace vellarion {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kSecretBytes = 32;
constexpr std::size_t kTagDigits = 16;

std::string freshSecret() {
    std::random_device source;
    std::string secret(kSecretBytes, '\0');
    for (char& c : secret) {
        c = static_cast<char>(source() & 0xff);
    }
    return secret;
}

std::optional<std::string> readSecret(const fs::path& file) {
    std::error_code ec;
    platform::File opened =
        platform::File::openEntryForReading(file, platform::ReadShare::DenyNone, ec);
    if (ec) {
        return std::nullopt;
    }
    std::string secret(kSecretBytes + 1, '\0');
    std::size_t got = 0;
    for (std::size_t n; got < secret.size() &&
                        (n = opened.read(secret.data() + got, secret.size() - got, ec)) > 0;) {
        got += n;
    }
    if (ec || got != kSecretBytes) {
        return std::nullopt;
    }
    secret.resize(kSecretBytes);
    return secret;
}

// The user's secret: read, or made by the first run (written whole beside
// its name, then given the name only while it is free, so that two first
// runs agree on one).
std::string loadSecret() {
    const fs::path file = runKeyFile();
    if (file.empty()) {
        return freshSecret();
    }
    if (std::optional<std::string> secret = readSecret(file)) {
        return *secret;
    }
    std::error_code ec;
    for (const fs::path& folder : {file.parent_path().parent_path(), file.parent_path()}) {
        if (!fs::is_directory(folder, ec)) {
            platform::createPrivateFolder(folder, ec);
        }
    }
    const std::string secret = freshSecret();
    fs::path temporary = file;
    temporary += "." + std::to_string(platform::currentProcessId()) + ".tmp";
    platform::File made = platform::File::createNew(temporary, ec);
    if (!ec) {
        made.write(secret.data(), secret.size(), ec);
        std::error_code synced;
        made.sync(synced);
        std::error_code closed;
        made.close(closed);
        if (!ec && !synced && !closed) {
            platform::renameNoReplace(temporary, file, ec);
        }
        std::error_code removed;
        fs::remove(temporary, removed);
    }
    // Another run may have made it first: its secret is the one.
    return readSecret(file).value_or(secret);
}

const std::string& secret() {
    static const std::string value = loadSecret();
    return value;
}

std::string tagOf(std::string_view body) {
    Sha256 hash;
    hash.update(secret());
    hash.update(body);
    return hash.hexDigest().substr(0, kTagDigits);
}

// The length of a run of characters of `allowed` at `at`.
std::size_t spanOf(std::string_view text, std::size_t at, std::string_view allowed) {
    const std::size_t end = text.find_first_not_of(allowed, at);
    return (end == std::string_view::npos ? text.size() : end) - at;
}

} // namespace

bool isReservedName(std::string_view name) {
    if (name.size() < kReservedPrefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kReservedPrefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != kReservedPrefix[i]) {
            return false;
        }
    }
    return true;
}

bool holdsReservedName(std::string_view path) {
    for (std::size_t at = 0; at <= path.size();) {
        const std::size_t end = std::min(path.find_first_of("\\/", at), path.size());
        if (isReservedName(path.substr(at, end - at))) {
            return true;
        }
        at = end + 1;
    }
    return false;
}

fs::path runKeyFile() {
#ifdef _WIN32
    const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA");
    if (local == nullptr || *local == L'\0') {
        return {};
    }
    return fs::path(local) / L"Vellarion" / L"run-key";
#else
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config == '/') {
        return fs::path(config) / "vellarion" / "run-key";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home != '/') {
        return {};
    }
    return fs::path(home) / ".config" / "vellarion" / "run-key";
#endif
}

std::string newRunToken() {
    return newRunToken(platform::currentProcessId());
}

std::string newRunToken(unsigned long pid) {
    static std::atomic<unsigned> counter{0};
    const auto ticks = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    char text[64];
    std::snprintf(text, sizeof text, "%lu-%llx-%u", pid, ticks & 0xffffff, counter++);
    return std::string(text) + "-" + tagOf(text);
}

std::optional<RunToken> ownRunToken(std::string_view text) {
    constexpr std::string_view kDigits = "0123456789";
    constexpr std::string_view kHex = "0123456789abcdef";
    // pid "-" ticks "-" counter "-" tag
    const std::size_t pidDigits = spanOf(text, 0, kDigits);
    if (pidDigits == 0 || pidDigits > 10 || pidDigits >= text.size() || text[pidDigits] != '-') {
        return std::nullopt;
    }
    std::size_t at = pidDigits + 1;
    const std::size_t ticks = spanOf(text, at, kHex);
    if (ticks == 0 || ticks > 6 || at + ticks >= text.size() || text[at + ticks] != '-') {
        return std::nullopt;
    }
    at += ticks + 1;
    const std::size_t count = spanOf(text, at, kDigits);
    if (count == 0 || count > 10 || at + count >= text.size() || text[at + count] != '-') {
        return std::nullopt;
    }
    const std::string_view body = text.substr(0, at + count);
    at += count + 1;
    if (spanOf(text, at, kHex) != kTagDigits || text.substr(at, kTagDigits) != tagOf(body)) {
        return std::nullopt;
    }
    return RunToken{std::stoul(std::string(text.substr(0, pidDigits))), at + kTagDigits};
}

} // namespace vellarion

#include "core/services/platform/posix/PosixSystemServices.h"

#include "core/services/Text.h"
#include "core/services/platform/File.h"
#include "core/services/registry/RegistryText.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <thread>
#include <unistd.h>

namespace vellarion {

namespace fs = std::filesystem;

namespace {

constexpr const char* kCorruptRegistry = "The configuration registry database is corrupt";

bool isDir(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

bool isFile(const fs::path& p) {
    std::error_code ec;
    const auto st = fs::status(p, ec);
    return !ec && fs::exists(st) && !fs::is_directory(st);
}

bool hidden(const fs::path& p) {
    return pathToUtf8(p.filename()).starts_with('.');
}

std::optional<std::string> readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return text;
}

// Replaces the file in one step (platform::replaceFileContent); 0, or the
// system's error code.
int writeAtomically(const fs::path& file, std::string_view text) {
    std::error_code ec;
    platform::replaceFileContent(file, text, ec);
    return ec ? (ec.value() != 0 ? ec.value() : EIO) : 0;
}

// Copies the content of `from` into the existing folder `to`. Below a mapped
// drive, names in `to` are matched without regard to case, as Windows merges.
bool mergeInto(const fs::path& from, const fs::path& to, bool ignoreCase) {
    bool ok = true;
    std::error_code ec;
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = pathToUtf8(it->path().filename());
        const fs::path target =
            ignoreCase ? PrefixPathMapper::matchChild(to, name) : to / it->path().filename();
        std::error_code e;
        const auto link = it->symlink_status(e);
        if (fs::is_symlink(link)) {
            // Never followed out of the folder: a link may name any file
            // the user can read, or lead back into the folder itself.
            ok = false;
            continue;
        }
        if (isDir(it->path())) {
            if (!isDir(target) && !fs::create_directory(target, e)) {
                ok = false;
                continue;
            }
            ok = mergeInto(it->path(), target, ignoreCase) && ok;
        } else {
            fs::copy_file(it->path(), target, fs::copy_options::overwrite_existing, e);
            ok = ok && !e;
        }
    }
    return ok && !ec;
}

} // namespace

PosixSystemServices::PosixSystemServices(PosixServicesConfig config)
    : config_(std::move(config)),
      mapper_(config_.drives, hasDriveLetter(config_.systemDrive) ? config_.systemDrive[0] : 'C') {}

std::string PosixSystemServices::GetLoginName() const {
    return config_.login;
}

std::string PosixSystemServices::GetSystemDrive() const {
    return config_.systemDrive;
}

std::string PosixSystemServices::GetSpecialFolderPath(int folder) const {
    if (folder == kRoamingAppData) {
        return config_.roamingAppData;
    }
    if (folder == kLocalAppData) {
        return config_.localAppData;
    }
    return {};
}

int PosixSystemServices::windowsMajorVersion() const {
    return config_.windowsVersion;
}

bool PosixSystemServices::fileExists(std::string_view path) const {
    const auto p = mapper_.toNative(path);
    return !path.empty() && p && isFile(*p);
}

bool PosixSystemServices::directoryExists(std::string_view path) const {
    const auto p = mapper_.toNative(path);
    return !path.empty() && p && isDir(*p);
}

bool PosixSystemServices::createDirectory(std::string_view path) {
    const auto p = mapper_.toNative(path);
    if (path.empty() || !p) {
        return false;
    }
    std::error_code ec;
    return fs::create_directory(*p, ec) && !ec;
}

bool PosixSystemServices::createDirectories(std::string_view path) {
    const auto p = mapper_.toNative(path);
    if (path.empty() || !p) {
        return false;
    }
    std::error_code ec;
    fs::create_directories(*p, ec);
    return isDir(*p);
}

bool PosixSystemServices::copyFile(std::string_view from, std::string_view to) {
    const auto src = mapper_.toNative(from);
    const auto dst = mapper_.toNative(to);
    if (!src || !dst || !isFile(*src) || isDir(*dst) || !isDir(dst->parent_path())) {
        return false;
    }
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(*src, ec))) {
        return false; // a link may name any file the user can read
    }
    if (fs::exists(*dst, ec) && fs::equivalent(*src, *dst, ec)) {
        return false;
    }
    fs::copy_file(*src, *dst, fs::copy_options::overwrite_existing, ec);
    return !ec;
}

bool PosixSystemServices::deleteFile(std::string_view path) {
    const auto p = mapper_.toNative(path);
    if (!p || !isFile(*p)) {
        return false;
    }
    std::error_code ec;
    return fs::remove(*p, ec) && !ec;
}

bool PosixSystemServices::CopyDir(std::string_view fromDir, std::string_view toDir) {
    const auto src = mapper_.toNative(fromDir);
    const auto dst = mapper_.toNative(toDir);
    if (!src || !dst || !isDir(*src)) {
        return false;
    }
    const bool ignoreCase = hasDriveLetter(toDir) || toDir.starts_with('\\');
    std::error_code ec;
    fs::path target;
    if (isDir(*dst)) {
        fs::path name = src->filename();
        if (name.empty()) {
            name = src->parent_path().filename();
        }
        target = ignoreCase ? PrefixPathMapper::matchChild(*dst, pathToUtf8(name)) : *dst / name;
    } else {
        // Like the shell: a missing target folder is created and takes the
        // source's content.
        target = *dst;
    }
    // Never copy a folder into itself.
    const fs::path srcCanon = fs::weakly_canonical(*src, ec);
    const fs::path targetCanon = fs::weakly_canonical(target, ec);
    const auto rel = targetCanon.lexically_relative(srcCanon);
    if (!rel.empty() && *rel.begin() != "..") {
        return false;
    }
    if (!isDir(target)) {
        fs::create_directories(target, ec);
        if (!isDir(target)) {
            return false;
        }
    }
    return mergeInto(*src, target, ignoreCase);
}

bool PosixSystemServices::DelTree(std::string_view dirName) {
    if (dirName.empty()) {
        return false;
    }
    const auto p = mapper_.toNative(dirName);
    if (!p || p->empty()) {
        return false;
    }
    std::error_code ec;
    const fs::path canon = fs::weakly_canonical(*p, ec);
    if (ec || canon == canon.root_path() || mapper_.isDriveRoot(*p)) {
        return false; // never a whole drive or filesystem
    }
    const auto st = fs::symlink_status(*p, ec);
    if (ec || !(fs::is_directory(st) || (fs::is_symlink(st) && isDir(*p)))) {
        return false;
    }
    fs::remove_all(*p, ec);
    return !ec && fs::symlink_status(*p, ec).type() == fs::file_type::not_found;
}

void PosixSystemServices::GetSubDirectories(std::string_view directory,
                                            std::vector<std::string>& list) const {
    const auto dir = mapper_.toNative(directory);
    if (!dir) {
        return;
    }
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(*dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (!hidden(it->path()) && isDir(it->path())) {
            names.push_back(pathToUtf8(it->path().filename()));
        }
    }
    sortIgnoringCase(names);
    list.insert(list.end(), names.begin(), names.end());
}

std::vector<std::string> PosixSystemServices::listFiles(std::string_view directory,
                                                        std::string_view suffix) const {
    std::vector<std::string> names;
    const auto dir = mapper_.toNative(directory);
    if (!dir) {
        return names;
    }
    std::error_code ec;
    for (fs::directory_iterator it(*dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = pathToUtf8(it->path().filename());
        std::error_code e;
        const auto st = fs::status(it->path(), e);
        if (e || !fs::is_regular_file(st) || hidden(it->path()) ||
            (st.permissions() & fs::perms::owner_write) == fs::perms::none ||
            !endsWithIgnoreCase(name, suffix)) {
            continue;
        }
        names.push_back(name);
    }
    sortIgnoringCase(names);
    return names;
}

SystemServices::KeySave PosixSystemServices::SaveKeyToFile(std::string_view key,
                                                           std::string_view file) {
    if (!config_.userRegistry) {
        return KeySave::NoSuchKey;
    }
    const auto text = readAll(*config_.userRegistry);
    if (!text) {
        return KeySave::NotSaved;
    }
    std::optional<RegistryText> saved;
    try {
        saved = RegistryText::parse(*text).saveKey(key);
    } catch (const RegistryFormatError&) {
        return KeySave::NotSaved; // an unreadable registry opens no key
    }
    if (!saved) {
        return KeySave::NoSuchKey;
    }
    const auto target = mapper_.toNative(file);
    if (!target) {
        return KeySave::NotSaved;
    }
    std::error_code ec;
    if (isFile(*target)) {
        fs::remove(*target, ec);
    }
    return writeAtomically(*target, saved->serialize()) == 0 ? KeySave::Saved : KeySave::NotSaved;
}

std::string PosixSystemServices::LoadKeyFromFile(std::string_view key, std::string_view file) {
    if (!config_.userRegistry || !fileExists(file)) {
        return {};
    }
    const auto userText = readAll(*config_.userRegistry);
    if (!userText) {
        return {};
    }
    std::optional<RegistryText> registry;
    try {
        registry = RegistryText::parse(*userText);
    } catch (const RegistryFormatError&) {
        return {}; // the key cannot be opened
    }
    const auto hiveText = readAll(*mapper_.toNative(file));
    if (!hiveText) {
        return systemErrorText(errno != 0 ? errno : EIO);
    }
    try {
        registry->restoreKey(key, RegistryText::parse(*hiveText));
    } catch (const RegistryFormatError&) {
        return kCorruptRegistry;
    }
    if (const int code = writeAtomically(*config_.userRegistry, registry->serialize()); code != 0) {
        return systemErrorText(code);
    }
    return {};
}

void PosixSystemServices::pause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

} // namespace vellarion

#include "core/services/platform/win32/Win32SystemServices.h"

#include "core/services/Error.h"
#include "core/services/Text.h"
#include "core/services/registry/RegistryText.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

// clang-format off
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
// clang-format on

namespace vellarion {

namespace {

std::wstring wide(std::string_view utf8) {
    const std::u16string s = utf8ToUtf16(utf8);
    return std::wstring(s.begin(), s.end());
}

std::string narrow(std::wstring_view w) {
    return utf16ToUtf8(std::u16string(w.begin(), w.end()));
}

DWORD attributes(std::string_view path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(wide(path).c_str());
}

struct FindHandle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~FindHandle() {
        if (h != INVALID_HANDLE_VALUE) {
            ::FindClose(h);
        }
    }
};

struct KeyHandle {
    HKEY h = nullptr;
    KeyHandle() = default;
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    ~KeyHandle() {
        if (h != nullptr) {
            ::RegCloseKey(h);
        }
    }
};

struct TokenHandle {
    HANDLE h = nullptr;
    ~TokenHandle() {
        if (h != nullptr) {
            ::CloseHandle(h);
        }
    }
};

// Enables one privilege of the process token for as long as it lives, then
// gives the token back the state it had: a privilege that was enabled before
// stays enabled, every other privilege is left alone. A token that cannot be
// opened or a privilege the system does not know leaves it not `enabled()`,
// without a message; a failed adjustment is the user's to see.
class PrivilegeScope {
public:
    explicit PrivilegeScope(const wchar_t* name) {
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                                &token_.h)) {
            token_.h = nullptr;
            return;
        }
        TOKEN_PRIVILEGES tp{};
        if (!::LookupPrivilegeValueW(nullptr, name, &tp.Privileges[0].Luid)) {
            return;
        }
        tp.PrivilegeCount = 1;
        tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        DWORD length = sizeof previous_;
        if (!::AdjustTokenPrivileges(token_.h, FALSE, &tp, sizeof previous_, &previous_, &length)) {
            throw SystemError(static_cast<int>(::GetLastError()));
        }
        // The call succeeds for an account that lacks the privilege.
        held_ = ::GetLastError() != ERROR_NOT_ALL_ASSIGNED;
        enabled_ = true;
    }
    PrivilegeScope(const PrivilegeScope&) = delete;
    PrivilegeScope& operator=(const PrivilegeScope&) = delete;
    ~PrivilegeScope() {
        // The previous state names only what the call changed: nothing when
        // the privilege was enabled already or is not held.
        if (enabled_ && previous_.PrivilegeCount > 0) {
            ::AdjustTokenPrivileges(token_.h, FALSE, &previous_, 0, nullptr, nullptr);
        }
    }
    bool enabled() const { return enabled_; }
    // The account has the privilege (it may still be withheld elsewhere:
    // an impersonated thread, a restricted token).
    bool held() const { return held_; }

private:
    TokenHandle token_;
    TOKEN_PRIVILEGES previous_{};
    bool enabled_ = false;
    bool held_ = false;
};

// Wine's RegRestoreKeyW accepts any file and restores nothing, so under Wine
// a saved key (which Wine writes in its text format) is put back value by
// value instead.
bool runningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::optional<std::string> readFileText(std::string_view file) {
    std::ifstream in(pathFromUtf8(file), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A key saved in the registry's text format (by Wine, or by SaveKeyToFile
// without the backup privilege) rather than as a hive.
bool isRegistryText(std::string_view file) {
    std::ifstream in(pathFromUtf8(file), std::ios::binary);
    std::string first;
    std::getline(in, first);
    if (!first.empty() && first.back() == '\r') {
        first.pop_back();
    }
    return first == "WINE REGISTRY Version 2";
}

// Adds the values of `key` (open for reading) and of its subkeys to `out`,
// under `path`, as the registry's text format keeps them: a key of its own
// when it has values or no subkeys, else only through its subkeys.
LONG exportKey(HKEY key, const std::string& path, RegistryText& out) {
    DWORD subkeys = 0;
    DWORD maxSubkey = 0;
    DWORD values = 0;
    DWORD maxName = 0;
    DWORD maxData = 0;
    LONG r = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr,
                                &values, &maxName, &maxData, nullptr, nullptr);
    if (r != ERROR_SUCCESS) {
        return r;
    }
    if (values == 0 && subkeys == 0) {
        out.createKey(path);
    }
    std::vector<wchar_t> name(maxName + 1);
    std::vector<BYTE> data(maxData);
    for (DWORD i = 0; i < values; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataLength = static_cast<DWORD>(data.size());
        DWORD type = 0;
        r = ::RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(),
                            &dataLength);
        if (r != ERROR_SUCCESS) {
            return r;
        }
        out.setValue(path, RegistryValue{
                               narrow(std::wstring_view(name.data(), nameLength)), type,
                               std::vector<std::uint8_t>(data.begin(), data.begin() + dataLength)});
    }
    std::vector<wchar_t> subkey(maxSubkey + 1);
    for (DWORD i = 0; i < subkeys; ++i) {
        DWORD length = static_cast<DWORD>(subkey.size());
        r = ::RegEnumKeyExW(key, i, subkey.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (r != ERROR_SUCCESS) {
            return r;
        }
        KeyHandle child;
        r = ::RegOpenKeyExW(key, subkey.data(), 0, KEY_READ, &child.h);
        if (r != ERROR_SUCCESS) {
            child.h = nullptr;
            return r;
        }
        const std::string childName = narrow(std::wstring_view(subkey.data(), length));
        r = exportKey(child.h, path.empty() ? childName : path + "\\" + childName, out);
        if (r != ERROR_SUCCESS) {
            return r;
        }
    }
    return ERROR_SUCCESS;
}

// Saves the key value by value in the registry's text format, as a saved
// key: the key itself is "[]", its subkeys relative to it. Needs no
// privilege, only read access to the key.
bool saveAsText(std::string_view key, std::string_view file) {
    KeyHandle k;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, wide(key).c_str(), 0, KEY_READ, &k.h) != ERROR_SUCCESS) {
        k.h = nullptr;
        return false;
    }
    std::string relativeTo = "HKEY_CURRENT_USER";
    for (const std::string& part : keyComponents(key)) {
        relativeTo += "\\\\" + part;
    }
    RegistryText saved = RegistryText::create(relativeTo, "");
    if (exportKey(k.h, "", saved) != ERROR_SUCCESS) {
        return false;
    }
    const std::string text = saved.serialize();
    {
        std::ofstream out(pathFromUtf8(file), std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (out) {
            return true;
        }
    }
    ::DeleteFileW(wide(file).c_str()); // never half a key
    return false;
}

LONG restoreFromText(std::string_view key, std::string_view file) {
    const std::optional<std::string> text = readFileText(file);
    if (!text) {
        return static_cast<LONG>(::GetLastError() != 0 ? ::GetLastError() : ERROR_READ_FAULT);
    }
    std::optional<RegistryText> saved;
    try {
        saved = RegistryText::parse(*text);
    } catch (const RegistryFormatError&) {
        return ERROR_BADDB;
    }
    KeyHandle root;
    LONG r = ::RegCreateKeyExW(HKEY_CURRENT_USER, wide(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                               nullptr, &root.h, nullptr);
    if (r != ERROR_SUCCESS) {
        root.h = nullptr;
        return r;
    }
    r = ::RegDeleteTreeW(root.h, nullptr);
    if (r != ERROR_SUCCESS) {
        return r;
    }
    for (const auto& section : saved->sections()) {
        KeyHandle sub;
        r = ::RegCreateKeyExW(root.h, wide(section.path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &sub.h, nullptr);
        if (r != ERROR_SUCCESS) {
            sub.h = nullptr;
            return r;
        }
        for (const auto& v : parseValues(section)) {
            const std::wstring name = wide(v.name);
            r = ::RegSetValueExW(sub.h, v.name.empty() ? nullptr : name.c_str(), 0, v.type,
                                 v.data.data(), static_cast<DWORD>(v.data.size()));
            if (r != ERROR_SUCCESS) {
                return r;
            }
        }
    }
    return ERROR_SUCCESS;
}

template <typename Visit> void listDirectory(std::string_view directory, Visit visit) {
    std::string pattern(directory);
    if (pattern.empty()) {
        return;
    }
    if (pattern.back() != '\\' && pattern.back() != '/' && pattern.back() != ':') {
        pattern.push_back('\\');
    }
    pattern += "*.*";
    WIN32_FIND_DATAW data;
    FindHandle find;
    find.h = ::FindFirstFileW(wide(pattern).c_str(), &data);
    if (find.h == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring_view name = data.cFileName;
        if (name != L"." && name != L"..") {
            visit(narrow(name), data.dwFileAttributes);
        }
    } while (::FindNextFileW(find.h, &data));
}

bool isRoot(std::wstring_view full) {
    // "C:", "C:\", "\\server\share", "\\server\share\"
    if (full.size() <= 3 && full.size() >= 2 && full[1] == L':') {
        return true;
    }
    if (full.starts_with(L"\\\\")) {
        size_t slashes = 0;
        for (size_t i = 2; i < full.size(); ++i) {
            if (full[i] == L'\\' && i + 1 < full.size()) {
                ++slashes;
            }
        }
        return slashes <= 1;
    }
    return false;
}

bool removeTree(const std::wstring& dir) {
    bool ok = true;
    WIN32_FIND_DATAW data;
    FindHandle find;
    find.h = ::FindFirstFileExW((dir + L"\\*").c_str(), FindExInfoBasic, &data,
                                FindExSearchNameMatch, nullptr, 0);
    if (find.h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring_view name = data.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring child = dir + L"\\" + std::wstring(name);
            const DWORD a = data.dwFileAttributes;
            if (a & FILE_ATTRIBUTE_READONLY) {
                ::SetFileAttributesW(child.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
            }
            if (a & FILE_ATTRIBUTE_DIRECTORY) {
                // A junction or link goes, never what it points to.
                ok = ((a & FILE_ATTRIBUTE_REPARSE_POINT) ? ::RemoveDirectoryW(child.c_str()) != 0
                                                         : removeTree(child)) &&
                     ok;
            } else {
                ok = ::DeleteFileW(child.c_str()) != 0 && ok;
            }
        } while (::FindNextFileW(find.h, &data));
    }
    const DWORD a = ::GetFileAttributesW(dir.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY)) {
        ::SetFileAttributesW(dir.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
    }
    return ::RemoveDirectoryW(dir.c_str()) != 0 && ok;
}

} // namespace

std::string Win32SystemServices::GetLoginName() const {
    wchar_t buffer[256];
    DWORD size = 256;
    return ::GetUserNameW(buffer, &size) ? narrow(buffer) : std::string();
}

std::string Win32SystemServices::GetSystemDrive() const {
    wchar_t buffer[MAX_PATH];
    if (::GetWindowsDirectoryW(buffer, MAX_PATH) == 0) {
        throw SystemError(static_cast<int>(::GetLastError()));
    }
    const std::wstring_view dir = buffer;
    if (dir.size() >= 2 && dir[1] == L':') {
        return narrow(dir.substr(0, 2));
    }
    if (dir.starts_with(L"\\\\")) {
        // "\\server\share" of a network path
        size_t end = dir.find(L'\\', 2);
        if (end != std::wstring_view::npos) {
            end = dir.find(L'\\', end + 1);
        }
        return narrow(dir.substr(0, end));
    }
    return {};
}

std::string Win32SystemServices::GetSpecialFolderPath(int folder) const {
    wchar_t buffer[MAX_PATH];
    if (FAILED(::SHGetFolderPathW(nullptr, folder, nullptr, 0, buffer))) {
        return {};
    }
    return narrow(buffer);
}

int Win32SystemServices::windowsMajorVersion() const {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!::GetVersionExW(&info)) {
        return 0;
    }
    return static_cast<int>(info.dwMajorVersion);
}

bool Win32SystemServices::windows64Bit() const {
#ifdef _WIN64
    return true;
#else
    // Looked up at run time: Windows 2000 and early XP lack it, and are
    // 32-bit systems.
    using IsWow64ProcessCall = BOOL(WINAPI*)(HANDLE, PBOOL);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const FARPROC found = kernel != nullptr ? ::GetProcAddress(kernel, "IsWow64Process") : nullptr;
    if (found == nullptr) {
        return false;
    }
    const auto isWow64 = reinterpret_cast<IsWow64ProcessCall>(reinterpret_cast<void (*)()>(found));
    BOOL wow64 = FALSE;
    if (!isWow64(::GetCurrentProcess(), &wow64)) {
        throw Error("IsWow64: bad process handle");
    }
    return wow64 != FALSE;
#endif
}

bool Win32SystemServices::fileExists(std::string_view path) const {
    const DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32SystemServices::directoryExists(std::string_view path) const {
    const DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32SystemServices::createDirectory(std::string_view path) {
    return !path.empty() && ::CreateDirectoryW(wide(path).c_str(), nullptr) != 0;
}

bool Win32SystemServices::createDirectories(std::string_view path) {
    if (path.empty()) {
        return false;
    }
    // Every parent from the first component below the drive or share on.
    size_t from = 0;
    if (path.starts_with("\\\\")) {
        from = path.find('\\', 2);
        from = from == std::string_view::npos ? path.size() : path.find('\\', from + 1);
    } else if (path.size() >= 2 && path[1] == ':') {
        from = 2;
    }
    for (size_t i = from == std::string_view::npos ? path.size() : from + 1; i <= path.size();
         ++i) {
        if (i == path.size() || path[i] == '\\' || path[i] == '/') {
            const std::string_view prefix = path.substr(0, i);
            if (!prefix.empty() && !directoryExists(prefix)) {
                ::CreateDirectoryW(wide(prefix).c_str(), nullptr);
            }
        }
    }
    return directoryExists(path);
}

bool Win32SystemServices::copyFile(std::string_view from, std::string_view to) {
    return ::CopyFileW(wide(from).c_str(), wide(to).c_str(), FALSE) != 0;
}

bool Win32SystemServices::deleteFile(std::string_view path) {
    return fileExists(path) && ::DeleteFileW(wide(path).c_str()) != 0;
}

bool Win32SystemServices::CopyDir(std::string_view fromDir, std::string_view toDir) {
    if (fromDir.empty() || toDir.empty()) {
        return false;
    }
    // Both lists end with two nulls.
    std::wstring from = wide(fromDir);
    while (from.size() > 3 && (from.back() == L'\\' || from.back() == L'/')) {
        from.pop_back();
    }
    from.push_back(L'\0');
    std::wstring to = wide(toDir);
    to.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    // No progress, every replacement and new folder confirmed, and no error
    // dialog: the core never shows a box of its own.
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
    return ::SHFileOperationW(&op) == 0;
}

bool Win32SystemServices::DelTree(std::string_view dirName) {
    if (dirName.empty()) {
        return false;
    }
    const std::wstring given = wide(dirName);
    const DWORD needed = ::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return false;
    }
    std::wstring full(needed, L'\0');
    full.resize(::GetFullPathNameW(given.c_str(), needed, full.data(), nullptr));
    while (full.size() > 3 && full.back() == L'\\') {
        full.pop_back();
    }
    if (full.empty() || isRoot(full)) {
        return false; // never a whole drive or share
    }
    // The extended form reaches paths of any length.
    std::wstring extended = full;
    if (!full.starts_with(L"\\\\?\\")) {
        extended = full.starts_with(L"\\\\") ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
    }
    const DWORD a = ::GetFileAttributesW(extended.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    if (a & FILE_ATTRIBUTE_REPARSE_POINT) {
        return ::RemoveDirectoryW(extended.c_str()) != 0;
    }
    return removeTree(extended);
}

void Win32SystemServices::GetSubDirectories(std::string_view directory,
                                            std::vector<std::string>& list) const {
    std::vector<std::string> names;
    listDirectory(directory, [&](std::string name, DWORD a) {
        if ((a & FILE_ATTRIBUTE_DIRECTORY) &&
            !(a & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) {
            names.push_back(std::move(name));
        }
    });
    sortIgnoringCase(names);
    list.insert(list.end(), names.begin(), names.end());
}

std::vector<std::string> Win32SystemServices::listFiles(std::string_view directory,
                                                        std::string_view suffix) const {
    std::vector<std::string> names;
    listDirectory(directory, [&](std::string name, DWORD a) {
        constexpr DWORD skip = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                               FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
        if (!(a & skip) && endsWithIgnoreCase(name, suffix)) {
            names.push_back(std::move(name));
        }
    });
    sortIgnoringCase(names);
    return names;
}

SystemServices::KeySave Win32SystemServices::SaveKeyToFile(std::string_view key,
                                                           std::string_view file) {
    KeyHandle k;
    const LONG opened =
        ::RegOpenKeyExW(HKEY_CURRENT_USER, wide(key).c_str(), 0, KEY_QUERY_VALUE, &k.h);
    if (opened != ERROR_SUCCESS) {
        k.h = nullptr;
        return opened == ERROR_FILE_NOT_FOUND ? KeySave::NoSuchKey : KeySave::NotSaved;
    }
    ::SetLastError(0);
    PrivilegeScope privilege(L"SeBackupPrivilege");
    if (fileExists(file)) {
        ::DeleteFileW(wide(file).c_str());
    }
    if (privilege.held() && ::RegSaveKeyW(k.h, wide(file).c_str(), nullptr) == ERROR_SUCCESS) {
        return KeySave::Saved;
    }
    // Without the privilege the system writes no hive, and a backup of
    // folders only would look complete: the key goes into the text format.
    if (fileExists(file)) {
        ::DeleteFileW(wide(file).c_str());
    }
    return saveAsText(key, file) ? KeySave::Saved : KeySave::NotSaved;
}

std::string Win32SystemServices::LoadKeyFromFile(std::string_view key, std::string_view file) {
    if (!fileExists(file)) {
        return {};
    }
    // A key saved as text goes back value by value, which needs no
    // privilege: a standard account restores what it saved.
    if (isRegistryText(file) || runningUnderWine()) {
        const LONG result = restoreFromText(key, file);
        return result == ERROR_SUCCESS ? std::string() : systemErrorText(static_cast<int>(result));
    }
    PrivilegeScope privilege(L"SeRestorePrivilege");
    if (!privilege.enabled()) {
        return {};
    }
    KeyHandle k;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, wide(key).c_str(), 0, nullptr,
                          REG_OPTION_BACKUP_RESTORE, KEY_WRITE, nullptr, &k.h,
                          nullptr) != ERROR_SUCCESS) {
        k.h = nullptr;
        return {};
    }
    const LONG result = ::RegRestoreKeyW(k.h, wide(file).c_str(), REG_FORCE_RESTORE);
    return result == ERROR_SUCCESS ? std::string() : systemErrorText(static_cast<int>(result));
}

void Win32SystemServices::pause(std::chrono::milliseconds duration) {
    ::Sleep(static_cast<DWORD>(duration.count()));
}

} // namespace vellarion

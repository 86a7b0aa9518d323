#include "core/services/SystemServices.h"

#include "core/services/ProgramPath.h"
#include "core/services/platform/File.h"

#include <cstdint>
#include <filesystem>

namespace vellarion {

UserEnvironment SystemServices::gatherEnvironment() const {
    UserEnvironment env;
    env.uzer = GetLoginName();
    env.drv = GetSystemDrive();
    env.sfp = GetSpecialFolderPath(kRoamingAppData);
    env.loc = GetSpecialFolderPath(kLocalAppData);
    env.windoze = std::to_string(windowsMajorVersion());
    return env;
}

std::string EnvironmentInfo::describe() const {
    switch (kind) {
    case Kind::Windows:
        return "this Windows";
    case Kind::Prefix:
        return "the Windows prefix " + location;
    case Kind::Demo:
        return "the demo sandbox " + location;
    case Kind::WindowsDisk:
        return "the Windows disk " + location;
    case Kind::Native:
        return location.empty() ? "this machine's own browsers"
                                : "this machine's own browsers (home " + location + ")";
    }
    return {};
}

bool SystemServices::windows64Bit() const {
    const std::string drive = GetSystemDrive();
    return !drive.empty() && (directoryExists(drive + "\\Program Files (x86)") ||
                              directoryExists(drive + "\\Windows\\SysWOW64"));
}

std::string SystemServices::FindFileInDirList(std::string_view name,
                                              std::string_view dirList) const {
    if (name.empty()) {
        return {};
    }
    if (fileExists(name)) {
        return std::string(name);
    }
    size_t start = 0;
    while (start <= dirList.size()) {
        size_t end = dirList.find(';', start);
        if (end == std::string_view::npos) {
            end = dirList.size();
        }
        const std::string_view entry = dirList.substr(start, end - start);
        if (!entry.empty()) {
            std::string candidate(entry);
            if (!isPathSeparator(candidate.back()) && candidate.back() != ':') {
                candidate.push_back(separatorOf(candidate)); // "/" in a native folder
            }
            candidate += name;
            if (fileExists(candidate)) {
                return candidate;
            }
        }
        start = end + 1;
    }
    return {};
}

std::optional<std::string> SystemServices::readSmallFile(std::string_view path) const {
    constexpr std::uint64_t kLimit = 1024 * 1024;
    const auto native = path.empty() ? std::nullopt : paths().toNative(path);
    if (!native) {
        return std::nullopt;
    }
    std::error_code ec;
    platform::File file =
        platform::File::openForReading(*native, platform::ReadShare::DenyNone, ec);
    const std::uint64_t size = ec ? 0 : file.size(ec);
    if (ec || size > kLimit) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const std::size_t n = file.read(text.data() + done, text.size() - done, ec);
        if (ec || n == 0) {
            break;
        }
        done += n;
    }
    if (ec) {
        return std::nullopt;
    }
    text.resize(done);
    return text;
}

bool SystemServices::replaceFileContent(std::string_view path, std::string_view content) {
    const auto native = path.empty() ? std::nullopt : paths().toNative(path);
    if (!native) {
        return false;
    }
    std::error_code ec;
    platform::replaceFileContent(*native, content, ec);
    return !ec;
}

bool SystemServices::isLockHeld(std::string_view path) const {
    const auto native = path.empty() ? std::nullopt : paths().toNative(path);
    return native && platform::isLockHeld(*native);
}

} // namespace vellarion

#include "core/services/SystemServices.h"

#include "core/services/platform/File.h"

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
            if (candidate.back() != '\\' && candidate.back() != ':') {
                candidate.push_back('\\');
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

bool SystemServices::isLockHeld(std::string_view path) const {
    const auto native = path.empty() ? std::nullopt : paths().toNative(path);
    return native && platform::isLockHeld(*native);
}

} // namespace vellarion

#pragma once

#include "core/services/SystemServices.h"
#include "core/services/platform/posix/PrefixPathMapper.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace vellarion {

// What a POSIX machine's services work on: the drive map, the answers of the
// environment routines, and the current user's registry file.
struct PosixServicesConfig {
    std::map<char, std::filesystem::path> drives; // 'C' -> the prefix's drive_c
    std::string login;                            // GetLoginName
    std::string systemDrive = "C:";               // GetSystemDrive
    std::string roamingAppData;                   // GetSpecialFolderPath(26), "" when none
    std::string localAppData;                     // GetSpecialFolderPath(28), "" when none
    int windowsVersion = 6;
    std::optional<std::filesystem::path> userRegistry; // the prefix's user.reg
    EnvironmentInfo environment;                       // what the services work on
    TemplateVars nativeFolders;                        // {home}, {config} when native
};

// The services of the Linux build: Windows data in a prefix or on a mounted
// disk, reached through PrefixPathMapper; the registry of HKEY_CURRENT_USER is
// the prefix's user.reg in the registry's text format.
class PosixSystemServices : public SystemServices {
public:
    explicit PosixSystemServices(PosixServicesConfig config);

    const PosixServicesConfig& config() const { return config_; }

    std::string GetLoginName() const override;
    std::string GetSystemDrive() const override;
    std::string GetSpecialFolderPath(int folder) const override;
    int windowsMajorVersion() const override;
    EnvironmentInfo environmentInfo() const override { return config_.environment; }
    TemplateVars nativeFolders() const override { return config_.nativeFolders; }

    const PathMapper& paths() const override { return mapper_; }
    bool fileExists(std::string_view path) const override;
    bool directoryExists(std::string_view path) const override;
    bool createDirectory(std::string_view path) override;
    bool createDirectories(std::string_view path) override;
    bool copyFile(std::string_view from, std::string_view to) override;
    bool deleteFile(std::string_view path) override;
    bool CopyDir(std::string_view fromDir, std::string_view toDir) override;
    bool DelTree(std::string_view dirName) override;
    void GetSubDirectories(std::string_view directory,
                           std::vector<std::string>& list) const override;
    std::vector<std::string> listFiles(std::string_view directory,
                                       std::string_view suffix) const override;

    bool hasRegistry() const override { return config_.userRegistry.has_value(); }
    KeySave SaveKeyToFile(std::string_view key, std::string_view file) override;
    [[nodiscard]] std::string LoadKeyFromFile(std::string_view key, std::string_view file) override;

    void pause(std::chrono::milliseconds duration) override;

private:
    PosixServicesConfig config_;
    PrefixPathMapper mapper_;
};

} // namespace vellarion

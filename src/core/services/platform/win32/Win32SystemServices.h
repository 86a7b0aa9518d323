#pragma once

#include "core/services/SystemServices.h"

namespace vellarion {

// The services of the Windows build: the real system calls. Program paths are
// the paths themselves (UTF-8 here, UTF-16 at every call).
class Win32SystemServices : public SystemServices {
public:
    std::string GetLoginName() const override;
    std::string GetSystemDrive() const override;
    std::string GetSpecialFolderPath(int folder) const override;
    int windowsMajorVersion() const override;
    // A 64-bit build runs only on a 64-bit Windows; a 32-bit one asks
    // IsWow64Process where the system has it. Throws vellarion::Error
    // ("IsWow64: bad process handle") when the call fails.
    bool windows64Bit() const override;

    const PathMapper& paths() const override { return nativePathMapper(); }
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

    KeySave SaveKeyToFile(std::string_view key, std::string_view file) override;
    [[nodiscard]] std::string LoadKeyFromFile(std::string_view key, std::string_view file) override;

    void pause(std::chrono::milliseconds duration) override;
};

} // namespace vellarion

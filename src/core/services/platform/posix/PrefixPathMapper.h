#pragma once

#include "core/services/PathMapper.h"

#include <filesystem>
#include <map>

namespace vellarion {

// Program paths on a POSIX machine that holds Windows data in a prefix or on
// a mounted disk. A drive letter is looked up in the drive map ("C:" -> the
// prefix's drive_c); below a mapped drive every component is matched without
// regard to case, as Windows would, the exact name first; "\" and "/" both
// separate and doubled separators fold. A path that starts with a single "\"
// lies on the system drive. A path without a drive is a native path and
// passes through. A drive that is not mapped, or a network path, names
// nothing.
class PrefixPathMapper : public PathMapper {
public:
    PrefixPathMapper() = default;
    PrefixPathMapper(std::map<char, std::filesystem::path> drives, char systemDrive = 'C');

    std::optional<std::filesystem::path> toNative(std::string_view programPath) const override;
    // A real path below a mapped drive becomes "X:\..." again.
    std::string fromNative(const std::filesystem::path& nativePath) const override;

    const std::map<char, std::filesystem::path>& drives() const { return drives_; }
    // True when the real path is the root of a mapped drive.
    bool isDriveRoot(const std::filesystem::path& nativePath) const;

    // The entry of `dir` named `name` without regard to case (the exact name
    // first), or dir / name when there is none.
    static std::filesystem::path matchChild(const std::filesystem::path& dir,
                                            std::string_view name);

private:
    std::map<char, std::filesystem::path> drives_;
    char systemDrive_ = 'C';
};

} // namespace vellarion

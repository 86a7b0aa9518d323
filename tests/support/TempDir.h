#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vellarion::test {

// A fresh directory under the system's temporary folder, removed with
// everything in it when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view relative) const;

private:
    std::filesystem::path path_;
};

// Small file helpers for building and checking trees in tests.
void writeFile(const std::filesystem::path& file, std::string_view content);
std::string readFile(const std::filesystem::path& file);

} // namespace vellarion::test

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vellarion {

// The platform seam for paths. The program works on text paths in the Windows
// form that the browsers' tables are written in ("C:\Users\bob\...", UTF-8);
// such a text becomes a real path only here, just before a file is opened,
// listed, copied or deleted.
class PathMapper {
public:
    virtual ~PathMapper() = default;

    // The real path that a program path names, or nothing when it names
    // nothing on this machine (a drive that is not mapped): existence tests
    // then answer false and writes fail.
    virtual std::optional<std::filesystem::path> toNative(std::string_view programPath) const = 0;

    // A real path written back as program text (the inverse of toNative
    // where one exists; otherwise the native path in UTF-8).
    virtual std::string fromNative(const std::filesystem::path& nativePath) const;

    // A program path as a user of this system would type it, for every
    // message and line that shows one: the native path in UTF-8 ("/" on
    // POSIX), the text itself where it names nothing here. On Windows the
    // text is already that.
    std::string toDisplay(std::string_view programPath) const;
};

// The plain conversion: on Windows the text is the path (UTF-8 here, UTF-16 at
// the API); on POSIX "\" becomes "/", doubled separators fold into one, and a
// path that starts with a drive letter names nothing.
class NativePathMapper : public PathMapper {
public:
    std::optional<std::filesystem::path> toNative(std::string_view programPath) const override;
};

// A shared, stateless plain mapper for callers that have no environment.
const PathMapper& nativePathMapper();

// UTF-8 text <-> std::filesystem::path without the locale's help.
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string pathToUtf8(const std::filesystem::path& path);

// True when the text starts with a drive such as "C:".
bool hasDriveLetter(std::string_view programPath);

} // namespace vellarion

#pragma once

#include <string>
#include <string_view>

namespace vellarion {

// The rules of program paths, in one place. A program path is Windows-form
// text ("C:\Users\bob\AppData") or, for a folder the user picked on a POSIX
// machine, a native path ("/media/usb/backups"); either separator ends a
// component. The engines, the codec and the command line join and cut paths
// only through these.

// A path separator of either form.
constexpr bool isPathSeparator(char c) {
    return c == '\\' || c == '/';
}

// The separator a path goes on with: "/" for a native POSIX path (a "/" and
// no "\"), else the program's "\".
char separatorOf(std::string_view path);

// The folder ready to have names appended: a separator added unless it ends
// with one already. An empty path stays empty.
std::string withSeparator(std::string_view dir);

// `dir` and `name` joined by one separator (of the folder's own form); an
// empty `dir` gives `name`, an empty `name` gives `dir`.
std::string joinPath(std::string_view dir, std::string_view name);

// The path without its trailing separators.
std::string_view withoutTrailingSeparators(std::string_view path);

// The path up to its last component, without a trailing separator ("" for a
// single name).
std::string parentPath(std::string_view path);

// The last component ("places.sqlite" of "C:\p\places.sqlite"; trailing
// separators ignored).
std::string lastName(std::string_view path);

// `path` relative to the folder `dir` when it lies below it (after a
// separator of either form), else "". Letter case is compared exactly: both
// come from the same search.
std::string relativeTo(std::string_view path, std::string_view dir);

// A name that makes one folder of its own inside another: no separator or
// drive that would lead elsewhere, and not only dots and spaces, which
// Windows drops ("", "." and ".." name the folder itself or its parent).
bool isOneFolderName(std::string_view name);

// What a backup location that names a remote of rclone's starts with.
inline constexpr std::string_view kRemotePrefix = "rclone:";

// Whether a backup location names a remote ("rclone:REMOTE:PATH").
inline bool isRemoteLocation(std::string_view location) {
    return location.substr(0, kRemotePrefix.size()) == kRemotePrefix;
}

} // namespace vellarion

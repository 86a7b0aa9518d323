#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vellarion {

// The longest Dir or Name a record can hold.
inline constexpr std::size_t maxStoredNameBytes = 255;

// Program text (UTF-8) as a record stores it: in the ANSI code page on
// Windows (a character the code page lacks becomes "?"), as UTF-8 elsewhere.
// Nothing when it would not fit a record whole: a name is never cut, since
// two cut names could merge into one.
std::optional<std::string> encodeStoredName(std::string_view text);

// A stored Dir or Name read back as program text, with this machine's code
// page.
std::string decodeStoredName(std::string_view stored);

// A stored Dir or Name that could place a file outside the target directory:
// it starts at a root ("\" or "/") or a drive ("C:"), holds a ".." component
// (or one Windows would read as "..", such as ".. "), or a NUL byte.
bool isUnsafeStoredPath(std::string_view text);

} // namespace vellarion

#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

// Letter case as Windows file and registry names ignore it. Only ASCII
// letters fold; other bytes of UTF-8 text compare exactly.
char asciiLower(char c);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
// Strict weak order that ignores ASCII letter case.
bool lessIgnoreCase(std::string_view a, std::string_view b);
bool startsWithIgnoreCase(std::string_view text, std::string_view prefix);
bool endsWithIgnoreCase(std::string_view text, std::string_view suffix);

// UTF-8 <-> UTF-16 without the locale's help; invalid input becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

// Names in the order NTFS lists them: by name, letter case ignored.
void sortIgnoringCase(std::vector<std::string>& names);

// The parts joined with the separator between them.
std::string joinStrings(std::span<const std::string> parts, std::string_view separator);

// Every occurrence of `tail` removed from `text`, letters compared without
// regard to case, scanning left to right without overlaps.
std::string removeEveryOccurrence(std::string_view text, std::string_view tail);

} // namespace vellarion

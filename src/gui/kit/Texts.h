#pragma once

#include <QString>
#include <string_view>

namespace vellarion {

// One of the windows' own texts, as written in the source, in the user's
// language; lupdate collects the texts given to it.
QString ui(const char* source);

// A text that reaches the windows from the core or from a table (a caption,
// a title, a message) in the user's language.
QString shownText(std::string_view text);

} // namespace vellarion

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

// Edits of a browser's JSON file (its "Local State") that change only what
// they change: every other byte stays as the browser wrote it, its number
// forms ("1.10", "1e5"), its spacing and its duplicate keys included, where
// a parse and a dump would rewrite them all. The text must be one JSON
// object (Error otherwise); a blank text is taken for "{}".

// The text with the member at `path` (keys from the top object down) given
// `value` (JSON text). Missing objects on the way are made; a member on the
// way that is no object is replaced by one. Of a key the object holds twice,
// the last is the one changed, as a reader takes the last.
std::string withJsonMember(std::string_view text, const std::vector<std::string>& path,
                           std::string_view value);

// The text with `value` (JSON text) appended to the array at `path`; the
// text as it is when there is no array there.
std::string withJsonArrayItem(std::string_view text, const std::vector<std::string>& path,
                              std::string_view value);

} // namespace vellarion

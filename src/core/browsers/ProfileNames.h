#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellarion {

// The names users gave the profiles of a Chromium-family data root, read
// from its "Local State" (profile.info_cache: each profile folder's "name"),
// in the file's order. Nothing for a text that is no such JSON. The file is
// only ever read here: it holds the browser's key and its own state.
std::vector<std::pair<std::string, std::string>> chromiumProfileNames(std::string_view localState);

// What the user is shown for a profile folder whose browser calls it `name`:
// "Work (Profile 1)"; empty where the folder's name tells it already (no
// name, the same name, or a Firefox folder "abcd1234.work" named "work").
std::string profileLabel(std::string_view name, std::string_view folder);

} // namespace vellarion

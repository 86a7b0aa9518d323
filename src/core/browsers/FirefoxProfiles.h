#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

// Firefox's list of profiles, profiles.ini in its data root: one section
// [ProfileN] a profile (Name=, IsRelative=, Path=, Default=), and since
// version 67 an [Install…] section naming each installation's default.

// A profile of the list, where it lives.
struct ListedProfile {
    std::string folder;    // the profile folder's own name ("abcd1234.default-release")
    std::string path;      // its folder: the data root and Path=, or Path= itself
    std::string name = {}; // Name=, as the user named it
};

// The profiles of profiles.ini's text, the default first (the one an
// installation names, else the one with Default=1), then in the file's
// order. Relative paths are below `root`, the data root.
std::vector<ListedProfile> listedProfiles(std::string_view profilesIni, std::string_view root);

// The text with one more profile section appended for a folder anywhere
// (IsRelative=0): "[ProfileN]" after the highest N there is, named after the
// folder. Every byte that was there stays; the new section takes the line
// endings the file uses.
std::string withProfileAdded(std::string_view profilesIni, std::string_view folder);

} // namespace vellarion

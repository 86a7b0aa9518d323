#pragma once

#include <functional>
#include <set>
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

// The same for a profile below the data root, as Firefox adds one it made
// itself: named `name`, its path relative with "/" ("Profiles/x.work").
// Into an empty text, the list Firefox writes for a first profile: its
// [General] section and the new profile as the default.
std::string withRelativeProfileAdded(std::string_view profilesIni, std::string_view name,
                                     std::string_view relativePath);

// The names of the installations' sections ("Install4F96D1932A9F858E") of
// profiles.ini or installs.ini.
std::set<std::string> installationSections(std::string_view text);

// profiles.ini (or installs.ini) as it must read on another system than the
// one it was written on. A profile named by a whole path is given the path
// `relocate` answers for it, relative to the data root, when that is not
// empty (the folder came along inside the data root, its old path names
// nothing here). With `unlock`, no installation's section keeps its default
// locked ("Locked=1"): the browser there is another installation, which
// would otherwise pass the restored default by and make an empty profile.
// Every other byte stays.
std::string movedProfilesIni(std::string_view text,
                             const std::function<std::string(std::string_view path)>& relocate,
                             bool unlock);

} // namespace vellarion

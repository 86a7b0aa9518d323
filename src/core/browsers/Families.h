#pragma once

// Today's browsers come in two families, each described once: the Chromium
// family (Chrome's items and rules, its "User Data" layout) and the Firefox
// family (Firefox's, with profiles.ini). A member names only its own
// places; everything else is its family's.
#include "core/browsers/DataSet.h"

#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

struct FamilyMember {
    std::string_view id;   // the command line's name ("edge")
    std::string_view name; // the browser's name in the windows' texts ("Edge")
    // The data roots on Windows (the folder of "Local State", of
    // profiles.ini), each in its forms for Windows "5" and "6".
    std::vector<CandidateForms> windowsRoots;
    // The data roots on this machine itself, in search order: templates over
    // {home} and {config}, the Flatpak and Snap homes included.
    std::vector<std::string_view> nativeRoots;
    // The full wizard's archive ("fbackup_edge.dat").
    std::string_view archiveName;
    // The selective wizard's name for a custom profile location, which its
    // archive is named after ("edge_custom").
    std::string_view customProfileName;
    // Without a version for this machine: what the user is told instead.
    std::string_view unavailableHere = {};
    // See BrowserDataSet.
    std::string_view commandName = {};
    std::string_view title = {};
    // On Linux the member keeps the password of its saved passwords and
    // cookies in the Secret Service under this application name and label
    // (empty: it has no version there).
    std::string_view keyringApplication = {};
    std::string_view keyringLabel = {};
};

// Where a member makes its data root when there is none yet: its first
// Windows root, and its first native one, unless it names others.
std::vector<NewRoot> firstRootOf(const std::vector<CandidateForms>& windowsRoots);
std::vector<NewRoot> firstRootOf(const std::vector<std::string_view>& nativeRoots);

BrowserDataSet chromiumFamilyMember(const FamilyMember& member);
BrowserDataSet firefoxFamilyMember(const FamilyMember& member);

// The Firefox family's item boxes in backup order, and its selective
// windows around a table: Flock, which keeps Firefox's old layout, shares
// them.
std::vector<SelectiveItem> firefoxFamilyItems();
SelectiveWizardData mozillaSelective(WizardTexts texts, std::string_view restoreArchiveHeading,
                                     std::vector<SelectiveItem> items,
                                     std::vector<std::string_view> restoreOrder);

// A text made for a data set, kept for the life of the program (the data
// sets hold views).
std::string_view keptText(std::string text);

// The texts of a member's full and selective windows, after its name.
WizardTexts fullWindowTexts(std::string_view name);
WizardTexts selectiveWindowTexts(std::string_view name);

} // namespace vellarion

#pragma once

#include "core/browsers/DataSet.h"

#include <functional>
#include <string>
#include <string_view>

namespace vellarion {

// The Chromium family's "Local State" in its data root: the JSON file that,
// among much else, lists the profiles (`profile.info_cache`, keyed by the
// profile's folder name).

// The text with the profile of folder `folder` listed under the name the
// user gave it; an empty text becomes the smallest "Local State" that lists
// it. Every other key and value stays as it was, in its order (the file is
// re-serialised compactly, as the browser writes it). Throws Error when the
// text is no JSON object.
std::string withProfileListed(std::string_view localState, std::string_view folder,
                              std::string_view name);

// The folder name a new profile gets: "Profile N" for the first N that
// neither the list nor `taken` (the folders there are) uses.
std::string nextProfileFolder(std::string_view localState,
                              const std::function<bool(std::string_view folder)>& taken);

class SystemServices;
struct WizardState;

// The selective hooks of a new profile: its folder in the data root
// (`mpath`), and its entry in the data root's "Local State" once the
// restore filled it (`ffpath`), under `name` (empty: the folder's name):
// the text "Local State" becomes, which the restore writes with its files.
std::string newListedProfileFolder(SystemServices& services, const WizardState& state,
                                   std::string_view name);
ProfileListChange registerInLocalState(SystemServices& services, const WizardState& state,
                                       std::string_view name);

} // namespace vellarion

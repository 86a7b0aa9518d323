#include "core/browsers/ChromeLocalState.h"

#include "core/browsers/JsonText.h"
#include "core/browsers/WizardState.h"
#include "core/services/Error.h"
#include "core/services/ProgramPath.h"
#include "core/services/SystemServices.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace vellarion {

namespace {

using Json = nlohmann::ordered_json;

Json parsed(std::string_view localState) {
    if (localState.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        return Json::object();
    }
    Json json = Json::parse(localState, nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        throw Error("\"Local State\" is no JSON object: the profile list cannot be read.");
    }
    return json;
}

} // namespace

std::string withProfileListed(std::string_view localState, std::string_view folder,
                              std::string_view name) {
    const Json json = parsed(localState);
    // Only what changes is written: every other byte stays as the browser
    // wrote it.
    const std::vector<std::string> entry{"profile", "info_cache", std::string(folder)};
    std::string text = std::string(localState);
    const auto existing = [&]() -> const Json* {
        const Json* at = &json;
        for (const std::string& key : entry) {
            const auto found = at->is_object() ? at->find(key) : at->end();
            if (!at->is_object() || found == at->end()) {
                return nullptr;
            }
            at = &*found;
        }
        return at;
    }();
    if (existing == nullptr || !existing->is_object()) {
        text = withJsonMember(text, entry, "{}");
    }
    std::vector<std::string> field = entry;
    field.emplace_back("name");
    text = withJsonMember(text, field, Json(std::string(name)).dump());
    // The name is the user's own, not one the browser made up for it.
    field.back() = "is_using_default_name";
    text = withJsonMember(text, field, "false");
    if (const auto profile = json.find("profile"); profile != json.end() && profile->is_object()) {
        if (const auto order = profile->find("profiles_order");
            order != profile->end() && order->is_array() &&
            std::find(order->begin(), order->end(), std::string(folder)) == order->end()) {
            text = withJsonArrayItem(text, {"profile", "profiles_order"},
                                     Json(std::string(folder)).dump());
        }
    }
    return text;
}

std::string nextProfileFolder(std::string_view localState,
                              const std::function<bool(std::string_view folder)>& taken) {
    Json json = parsed(localState);
    const Json* cache = nullptr;
    if (const auto profile = json.find("profile"); profile != json.end() && profile->is_object()) {
        if (const auto found = profile->find("info_cache");
            found != profile->end() && found->is_object()) {
            cache = &*found;
        }
    }
    for (int n = 1;; ++n) {
        const std::string folder = "Profile " + std::to_string(n);
        if ((cache == nullptr || !cache->contains(folder)) && !taken(folder)) {
            return folder;
        }
    }
}

std::string newListedProfileFolder(SystemServices& services, const WizardState& state,
                                   std::string_view) {
    const std::optional<std::string> text =
        services.readSmallFile(joinPath(state.mpath, "Local State"));
    return joinPath(state.mpath, nextProfileFolder(text.value_or(""), [&](std::string_view folder) {
                        return services.directoryExists(joinPath(state.mpath, folder)) ||
                               services.fileExists(joinPath(state.mpath, folder));
                    }));
}

ProfileListChange registerInLocalState(SystemServices& services, const WizardState& state,
                                       std::string_view name) {
    const std::string folder = relativeTo(withoutTrailingSeparators(state.ffpath), state.mpath);
    if (folder.empty() || !isOneFolderName(folder)) {
        return {.refused =
                    "Only a folder in the browser's data folder can be one of its profiles."};
    }
    const std::string file = joinPath(state.mpath, "Local State");
    const std::optional<std::string> text = services.readSmallFile(file);
    if (!text && services.fileExists(file)) {
        return {.refused = "The profile could not be added: \"Local State\" cannot be read."};
    }
    try {
        return {.file = file,
                .content =
                    withProfileListed(text.value_or(""), folder, name.empty() ? folder : name)};
    } catch (const Error& e) {
        return {.refused = e.what()};
    }
}

} // namespace vellarion

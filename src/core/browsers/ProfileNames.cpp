#include "core/browsers/ProfileNames.h"

#include <nlohmann/json.hpp>

namespace vellarion {

std::vector<std::pair<std::string, std::string>> chromiumProfileNames(std::string_view localState) {
    std::vector<std::pair<std::string, std::string>> names;
    // No exceptions: a damaged or half-written file names nothing.
    const nlohmann::ordered_json state =
        nlohmann::ordered_json::parse(localState.begin(), localState.end(), nullptr, false);
    if (state.is_discarded() || !state.is_object()) {
        return names;
    }
    const auto profile = state.find("profile");
    if (profile == state.end() || !profile->is_object()) {
        return names;
    }
    const auto cache = profile->find("info_cache");
    if (cache == profile->end() || !cache->is_object()) {
        return names;
    }
    for (const auto& [folder, info] : cache->items()) {
        if (!info.is_object()) {
            continue;
        }
        const auto name = info.find("name");
        if (name != info.end() && name->is_string()) {
            names.emplace_back(folder, name->get<std::string>());
        }
    }
    return names;
}

std::string profileLabel(std::string_view name, std::string_view folder) {
    const bool toldByFolder = name.empty() || name == folder ||
                              (folder.size() > name.size() && folder.ends_with(name) &&
                               folder[folder.size() - name.size() - 1] == '.');
    if (toldByFolder) {
        return {};
    }
    return std::string(name) + " (" + std::string(folder) + ")";
}

} // namespace vellarion

#include "core/wizards/DataRoot.h"

#include "core/services/Text.h"

#include <algorithm>

namespace vellarion {

TemplateVars templateValues(const BrowserDataSet& data, const TemplateVars& extra) {
    TemplateVars vars = extra;
    for (const auto& [name, value] : data.templateDefaults) {
        const bool named = std::any_of(vars.begin(), vars.end(),
                                       [&](const auto& given) { return given.first == name; });
        if (!named) {
            vars.emplace_back(name, value);
        }
    }
    return vars;
}

std::string removeTails(std::string_view text, std::span<const std::string_view> tails,
                        const UserEnvironment& env, const TemplateVars& vars) {
    std::string result(text);
    for (std::string_view tail : tails) {
        const bool plain = tail.find('{') == std::string_view::npos;
        result = removeEveryOccurrence(result,
                                       plain ? std::string(tail) : expandTemplate(tail, env, vars));
    }
    return result;
}

bool locateFile(const SystemServices& services, const BrowserDataSet& data,
                std::string_view fileName, WizardState& state, const TemplateVars& extra) {
    state.setEnvironment(services.gatherEnvironment());
    state.fileName = std::string(fileName);
    const UserEnvironment env = state.environment();
    const TemplateVars vars = templateValues(data, extra);

    const std::vector<std::string> dirs = assignCandidates(env, data.candidates, vars);
    // Six candidates put v101 and v102 before dir1.
    std::string* fields[] = {&state.v101, &state.v102, &state.dir1,
                             &state.dir2, &state.dir3, &state.dir4};
    const size_t first = dirs.size() > 4 ? 0 : 2;
    for (size_t i = 0; i < dirs.size() && first + i < std::size(fields); ++i) {
        *fields[first + i] = dirs[i];
    }

    state.fullFilePath = services.FindFileInDirList(state.fileName, joinDirList(dirs));
    return !state.fullFilePath.empty();
}

bool locateDataRoot(const SystemServices& services, const BrowserDataSet& data,
                    std::span<const std::string_view> tails, WizardState& state,
                    const TemplateVars& extra) {
    if (!locateFile(services, data, data.markerFile, state, extra)) {
        return false;
    }
    state.ffpath =
        removeTails(state.fullFilePath, tails, state.environment(), templateValues(data, extra));
    return true;
}

} // namespace vellarion

#include "core/wizards/DataRoot.h"

#include "core/services/Text.h"

namespace vellarion {

std::string removeTails(std::string_view text, std::span<const std::string_view> tails) {
    std::string result(text);
    for (std::string_view tail : tails) {
        result = removeEveryOccurrence(result, tail);
    }
    return result;
}

bool locateDataRoot(const SystemServices& services, const BrowserDataSet& data,
                    std::span<const std::string_view> tails, WizardState& state,
                    const TemplateVars& extra) {
    state.setEnvironment(services.gatherEnvironment());
    state.fileName = std::string(data.markerFile);

    const std::vector<std::string> dirs =
        assignCandidates(state.environment(), data.candidates, extra);
    // Six candidates put v101 and v102 before dir1.
    std::string* fields[] = {&state.v101, &state.v102, &state.dir1,
                             &state.dir2, &state.dir3, &state.dir4};
    const size_t first = dirs.size() > 4 ? 0 : 2;
    for (size_t i = 0; i < dirs.size() && first + i < std::size(fields); ++i) {
        *fields[first + i] = dirs[i];
    }

    state.fullFilePath = services.FindFileInDirList(state.fileName, joinDirList(dirs));
    if (state.fullFilePath.empty()) {
        return false;
    }
    state.ffpath = removeTails(state.fullFilePath, tails);
    return true;
}

} // namespace vellarion

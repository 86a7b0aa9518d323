#include "core/wizards/DataRoot.h"

#include "core/services/ProgramPath.h"
#include "core/services/Text.h"

#include <algorithm>

namespace vellarion {

TemplateVars templateValues(const BrowserDataSet& data, const TemplateVars& extra) {
    TemplateVars vars = extra;
    // No structured binding here: clang 14 cannot capture one in a lambda.
    for (const auto& byDefault : data.templateDefaults) {
        const bool named = std::any_of(vars.begin(), vars.end(), [&](const auto& given) {
            return given.first == byDefault.first;
        });
        if (!named) {
            vars.emplace_back(byDefault.first, byDefault.second);
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

namespace {

// The native search: the data set's native folders for its marker.
bool locateNativeDataRoot(const SystemServices& services, const BrowserDataSet& data,
                          std::span<const std::string_view> tails, WizardState& state) {
    const NativeRoots& native = data.native;
    state.fileName = std::string(native.markerFile.empty() ? data.markerFile : native.markerFile);
    const TemplateVars folders = services.nativeFolders();
    std::vector<std::string> dirs;
    if (!folders.empty()) {
        for (std::string_view candidate : native.candidates) {
            dirs.push_back(expandTemplate(candidate, UserEnvironment{}, folders));
        }
    }
    std::string* fields[] = {&state.dir1, &state.dir2, &state.dir3, &state.dir4};
    for (size_t i = 0; i < std::size(fields); ++i) {
        *fields[i] = i < dirs.size() ? dirs[i] : std::string();
    }
    state.v101.clear();
    state.v102.clear();
    state.fullFilePath = services.FindFileInDirList(state.fileName, joinDirList(dirs));
    // The marker found in the working directory names no data root.
    if (state.fullFilePath.empty() || state.fullFilePath == state.fileName) {
        state.fullFilePath.clear();
        return false;
    }
    const bool trailing =
        tails.empty() || tails.front().empty() || !isPathSeparator(tails.front().front());
    const std::string root = parentPath(state.fullFilePath);
    state.ffpath = trailing ? withSeparator(root) : root;
    return true;
}

} // namespace

bool isFolderBelowRoot(std::string_view path) {
    // The marker search answers with the bare file name when the marker
    // lies in the working directory, and a marker at a drive's root would
    // make the whole drive the data root: neither is a browser's data.
    if (hasDriveLetter(path)) {
        return path.size() > 3 && isPathSeparator(path[2]) &&
               path.find_first_not_of("\\/", 3) != std::string_view::npos;
    }
    if (path.size() > 2 && isPathSeparator(path[0]) && isPathSeparator(path[1])) {
        return path.find_first_not_of("\\/", 2) != std::string_view::npos;
    }
#ifndef _WIN32
    // A native folder (a prefix given as a plain POSIX path).
    return path.size() > 1 && path[0] == '/' &&
           path.find_first_not_of('/') != std::string_view::npos;
#else
    return false;
#endif
}

std::optional<std::string> newDataRoot(const SystemServices& services, const BrowserDataSet& data) {
    const bool native = services.isNative();
    const UserEnvironment env = native ? UserEnvironment{} : services.gatherEnvironment();
    const TemplateVars vars = native ? services.nativeFolders() : templateValues(data, {});
    if (native && vars.empty()) {
        return std::nullopt;
    }
    for (const NewRoot& each : native ? data.native.newRoots : data.newRoots) {
        if (!each.when.empty() && !services.directoryExists(expandTemplate(each.when, env, vars))) {
            continue;
        }
        // A folder of the environment that is not there expands to nothing.
        const std::string root = expandTemplate(each.root, env, vars);
        if (isFolderBelowRoot(root)) {
            return root;
        }
    }
    return std::nullopt;
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
    if (services.isNative()) {
        state.setEnvironment(services.gatherEnvironment());
        return locateNativeDataRoot(services, data, tails, state);
    }
    if (!locateFile(services, data, data.markerFile, state, extra)) {
        return false;
    }
    state.ffpath =
        removeTails(state.fullFilePath, tails, state.environment(), templateValues(data, extra));
    return true;
}

} // namespace vellarion

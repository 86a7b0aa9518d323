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

// The data root in the family's form: with a trailing separator where the
// tails have none in front ("profiles.ini"), without where they have
// ("\profiles.ini").
std::string rootInForm(std::string_view root, std::span<const std::string_view> tails) {
    const bool trailing =
        tails.empty() || tails.front().empty() || !isPathSeparator(tails.front().front());
    return trailing ? withSeparator(root) : std::string(withoutTrailingSeparators(root));
}

// The path of `marker` below `folder` when it is there, else "": each "*"
// component stands for any one folder, tried in name order.
std::string markerBelow(const SystemServices& services, const std::string& folder,
                        std::string_view marker) {
    const size_t separator = marker.find_first_of("\\/");
    if (separator == std::string_view::npos) {
        const std::string path = joinPath(folder, marker);
        return services.fileExists(path) ? path : std::string();
    }
    const std::string_view first = marker.substr(0, separator);
    const std::string_view rest = marker.substr(separator + 1);
    if (first != "*") {
        return markerBelow(services, joinPath(folder, first), rest);
    }
    std::vector<std::string> below;
    services.GetSubDirectories(folder, below);
    for (const std::string& name : below) {
        if (std::string found = markerBelow(services, joinPath(folder, name), rest);
            !found.empty()) {
            return found;
        }
    }
    return {};
}

// The first of the folders that holds one of the data set's root markers is
// the data root; `fullFilePath` names the marker found there.
bool locateMarkedRoot(const SystemServices& services, const BrowserDataSet& data,
                      const std::vector<std::string>& dirs, std::span<const std::string_view> tails,
                      WizardState& state) {
    for (const std::string& dir : dirs) {
        if (dir.empty() || !services.directoryExists(dir)) {
            continue;
        }
        for (std::string_view marker : data.rootMarkers) {
            if (std::string found = markerBelow(services, dir, marker); !found.empty()) {
                state.fullFilePath = std::move(found);
                state.ffpath = rootInForm(dir, tails);
                return true;
            }
        }
    }
    state.fullFilePath.clear();
    return false;
}

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
    if (!data.rootMarkers.empty()) {
        return locateMarkedRoot(services, data, dirs, tails, state);
    }
    state.fullFilePath = services.FindFileInDirList(state.fileName, joinDirList(dirs));
    // The marker found in the working directory names no data root.
    if (state.fullFilePath.empty() || state.fullFilePath == state.fileName) {
        state.fullFilePath.clear();
        return false;
    }
    state.ffpath = rootInForm(parentPath(state.fullFilePath), tails);
    return true;
}

// The environment gathered and the candidates built by the version rule
// into `dir1`… (`v101`, `v102` first when the browser has six).
std::vector<std::string> assignCandidateFields(const SystemServices& services,
                                               const BrowserDataSet& data, WizardState& state,
                                               const TemplateVars& extra) {
    state.setEnvironment(services.gatherEnvironment());
    const std::vector<std::string> dirs =
        assignCandidates(state.environment(), data.candidates, templateValues(data, extra));
    std::string* fields[] = {&state.v101, &state.v102, &state.dir1,
                             &state.dir2, &state.dir3, &state.dir4};
    const size_t first = dirs.size() > 4 ? 0 : 2;
    for (size_t i = 0; i < dirs.size() && first + i < std::size(fields); ++i) {
        *fields[first + i] = dirs[i];
    }
    return dirs;
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
    const std::vector<std::string> dirs = assignCandidateFields(services, data, state, extra);
    state.fileName = std::string(fileName);
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
    if (!data.rootMarkers.empty()) {
        const std::vector<std::string> dirs = assignCandidateFields(services, data, state, extra);
        state.fileName = std::string(data.markerFile);
        return locateMarkedRoot(services, data, dirs, tails, state);
    }
    if (!locateFile(services, data, data.markerFile, state, extra)) {
        return false;
    }
    state.ffpath =
        removeTails(state.fullFilePath, tails, state.environment(), templateValues(data, extra));
    return true;
}

} // namespace vellarion

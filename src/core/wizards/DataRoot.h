#pragma once

#include "core/browsers/DataSet.h"
#include "core/services/SystemServices.h"
#include "core/wizards/WizardState.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vellarion {

// The search every wizard runs at activation: gather the user environment
// into the state, set `fileName` to the browser's marker file, build the
// candidate directories by the version rule into `dir1`… (`v101`, `v102`
// first when the browser has six), and search them into `fullFilePath`.
//
// When the marker is found, `ffpath` becomes its path with each tail removed
// in turn (every occurrence, case ignored) and the result is true. When it
// is not, `fullFilePath` is empty, `ffpath` is left as it was and the result
// is false: what to tell the user is the window's business.
//
// Candidates and tails are templates: the environment's names, the data
// set's own (`templateDefaults`, "{N}": an installation folder) and `extra`, which names
// values of the job's own in their place.
//
// In the native environment the data set's native candidates are searched
// for its native marker instead, and the data root is the marker's folder,
// in the family's form: with a trailing separator where the tails have none
// in front ("profiles.ini"), without where they have ("\profiles.ini").
bool locateDataRoot(const SystemServices& services, const BrowserDataSet& data,
                    std::span<const std::string_view> tails, WizardState& state,
                    const TemplateVars& extra = {});

// Where the browser itself would make its data root on this system, when
// none is found (a new machine, a fresh account): the first of the data
// set's new roots that applies, as a program path without a trailing
// separator; nothing when the browser names none.
std::optional<std::string> newDataRoot(const SystemServices& services, const BrowserDataSet& data);

// A folder named from the root of a drive or a share and lying below that
// root: never the working directory or a whole drive.
bool isFolderBelowRoot(std::string_view path);

// The same search for another file than the marker (`fileName`) through the
// browser's candidates: the environment gathered, the candidates built, the
// file searched into `fullFilePath`; true when it was found. `ffpath` is not
// touched.
bool locateFile(const SystemServices& services, const BrowserDataSet& data,
                std::string_view fileName, WizardState& state, const TemplateVars& extra = {});

// The data set's template values with those of `extra` in their place.
TemplateVars templateValues(const BrowserDataSet& data, const TemplateVars& extra = {});

// The text with every tail removed in turn, case ignored; each tail is a
// template over the environment and `vars`.
std::string removeTails(std::string_view text, std::span<const std::string_view> tails,
                        const UserEnvironment& env = {}, const TemplateVars& vars = {});

} // namespace vellarion

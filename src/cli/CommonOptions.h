#pragma once

#include "core/browsers/DataSet.h"
#include "core/services/ServicesFactory.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace CLI {
class App;
class Validator;
} // namespace CLI

namespace vellarion::cli {

class Console;

// Adds the options that say where the browsers' data lives to a command:
// --native, --demo, --prefix DIR, --windows-root DIR, --user NAME,
// --windows-version N.
// The Linux build reads them; on Windows the real system is asked.
void addEnvironmentOptions(CLI::App& command, EnvironmentOptions& options);

// The system services for those options (throws vellarion::Error when a
// named prefix or drive is not a folder); the line that says which data they
// work on goes to stderr first ("vellarion-cli: using the Windows prefix …").
std::unique_ptr<SystemServices> makeServices(const EnvironmentOptions& options, Console& console);

// Adds the positional BROWSER argument, checked against the browsers the
// program has data sets for (a usage error lists them).
void addBrowserArgument(CLI::App& command, std::string& browser);

// What --help says of the names of BROWSER: each data set's, and what a name
// that two data sets share means.
std::string browserNamesHelp();

// What a crash left in the browser's data mended first (recoverBrowserData),
// each thing done said on stderr.
void recoverFirst(Console& console, SystemServices& services, const BrowserDataSet& data);

// Refuses an option's value that is empty or only spaces: "--new-profile \"\""
// would otherwise mean no new profile at all, and the default one written.
const CLI::Validator& notBlank();

// Adds --replace to a backup command: without it, a backup refuses to
// replace an archive that exists already.
void addReplaceOption(CLI::App& command, bool& replace);

// Which browsers' data is here, for a command that did not find the data of
// the one it was given.
std::string browsersFoundHint(const SystemServices& services);

// Makes the backup location the user typed, when it is a folder of this
// machine not there yet; one that cannot be made ends the command, naming
// the folder as typed and the system's reason.
void makeTypedFolder(const std::string& typed);

// How a job waits for what holds its data: --wait[=DURATION] for the
// browser to let go of it (without a duration as long as it takes), and
// --no-wait: another job of this program on the same folder refuses at
// once instead of being waited for.
struct WaitOptions {
    std::string wait; // "" not at all, "forever", or a DURATION ("90s", "10m", "2h")
    bool noWait = false;
};
void addWaitOptions(CLI::App& command, WaitOptions& options);
// How long a --wait value waits; none for "" (not at all). Throws
// vellarion::Error on a value that is no DURATION.
std::optional<std::chrono::milliseconds> waitDuration(const std::string& value);

// The data set of a BROWSER argument that addBrowserArgument accepted: the
// first of a name two data sets share.
const BrowserDataSet& browserDataSet(const std::string& browser);
// The same, where a shared name means the first data set whose data is
// found through `services` (the classic Opera before the current one), else
// the first that has a version for this system.
const BrowserDataSet& browserDataSet(const std::string& browser, const SystemServices& services);

// Whether the data set's data root is found through `services`, silently.
bool dataFound(const SystemServices& services, const BrowserDataSet& data);

} // namespace vellarion::cli

#pragma once

#include "core/browsers/DataSet.h"
#include "core/services/ServicesFactory.h"

#include <memory>
#include <string>

namespace CLI {
class App;
}

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

// Adds --replace to a backup command: without it, a backup refuses to
// replace an archive that exists already.
void addReplaceOption(CLI::App& command, bool& replace);

// The data set of a BROWSER argument that addBrowserArgument accepted.
const BrowserDataSet& browserDataSet(const std::string& browser);

} // namespace vellarion::cli

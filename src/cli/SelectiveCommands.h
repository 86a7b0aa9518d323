#pragma once

namespace CLI {
class App;
}

namespace vellarion::cli {

class Console;

// profiles, items, backup and restore: the selective wizard's jobs from the
// command line, for the browsers that have selective data sets.
void addSelectiveCommands(CLI::App& app, Console& console);

} // namespace vellarion::cli

#pragma once

namespace CLI {
class App;
}

namespace vellarion::cli {

class Console;

// browsers: every browser the program knows, whether its data is found
// here, where, and how many profiles it has.
void addBrowserCommands(CLI::App& app, Console& console);

} // namespace vellarion::cli

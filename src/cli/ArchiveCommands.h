#pragma once

namespace CLI {
class App;
}

namespace vellarion::cli {

class Console;

// pack, unpack and list: the backup archive from the command line.
void addArchiveCommands(CLI::App& app, Console& console);

} // namespace vellarion::cli

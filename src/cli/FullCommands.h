#pragma once

namespace CLI {
class App;
}

namespace vellarion::cli {

class Console;

// full-backup and full-restore: "Safe Backup" and "Safe Restore" of a
// browser's whole data root, as the full wizard windows run them.
void addFullCommands(CLI::App& app, Console& console);

} // namespace vellarion::cli

#pragma once

namespace CLI {
class App;
}

namespace vellarion::cli {

class Console;

// `schedule add`, `schedule list`, `schedule remove ID` and `schedule run
// ID` (what the platform's scheduler starts; it runs the backup as a child
// process of this program, whose exit status says whether its archive is
// complete).
void addScheduleCommands(CLI::App& app, Console& console);

} // namespace vellarion::cli

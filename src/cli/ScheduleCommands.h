#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace vellarion::cli {

class Console;

// What a scheduled run needs: the job commands added to an application of
// its own (backup, full-backup, …), reporting to the console given.
using AddJobCommands = std::function<void(CLI::App& app, Console& console)>;

// `schedule add`, `schedule list`, `schedule remove ID` and `schedule run
// ID` (what the platform's scheduler starts).
void addScheduleCommands(CLI::App& app, Console& console, AddJobCommands addJobCommands);

} // namespace vellarion::cli

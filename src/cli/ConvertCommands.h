#pragma once

namespace CLI {
class App;
}

namespace vellarion::cli {

class Console;

// convert-opera: the Opera profile converter's conversions of
// "operaprefs.ini", listed or run.
void addConvertCommands(CLI::App& app, Console& console);

} // namespace vellarion::cli

// The window program.
#include "core/services/Error.h"
#include "core/services/Memory.h"
#include "gui/kit/QtDialogs.h"
#include "gui/shell/Application.h"
#include "gui/shell/CommandLine.h"
#include "gui/shell/IniFile.h"
#include "gui/shell/Startup.h"

#include <QTextStream>

namespace {

// Prints what --help, --version or a wrong command line asks to print;
// false when the program should start.
bool answered(const vellarion::ProgramOptions& options) {
    if (options.exitText) {
        QTextStream(options.exitCode == 0 ? stdout : stderr) << *options.exitText;
    }
    return options.exitText.has_value();
}

} // namespace

int main(int argc, char** argv) {
    vellarion::keepFreedMemoryForReuse();
    // --help and --version answer before the window system is reached, so
    // that they work without a display. Anything else is read again once the
    // window system has taken its own options (-platform, -style) out.
    {
        QCoreApplication reader(argc, argv);
        const vellarion::ProgramOptions early =
            vellarion::parseProgramOptions(QCoreApplication::arguments());
        if (early.exitCode == 0 && answered(early)) {
            return 0;
        }
    }

    vellarion::QtDialogs dialogs;
    vellarion::Application app(argc, argv, dialogs);

    const vellarion::ProgramOptions options =
        vellarion::parseProgramOptions(QCoreApplication::arguments());
    if (answered(options)) {
        return options.exitCode;
    }

    std::unique_ptr<vellarion::SystemServices> services;
    try {
        services = vellarion::makeSystemServices(options.environment);
    } catch (const vellarion::Error& e) {
        QTextStream(stderr) << "vellarion: " << QString::fromStdString(e.what()) << '\n';
        return 1;
    }
    return vellarion::runProgram(
        dialogs, *services, vellarion::settingsPathFor(QCoreApplication::applicationFilePath()),
        options.closeWhenShown);
}

// The window program.
#include "core/services/Error.h"
#include "gui/kit/QtDialogs.h"
#include "gui/shell/Application.h"
#include "gui/shell/CommandLine.h"
#include "gui/shell/IniFile.h"
#include "gui/shell/Startup.h"

#include <QTextStream>

int main(int argc, char** argv) {
    vellarion::QtDialogs dialogs;
    vellarion::Application app(argc, argv, dialogs);

    const vellarion::ProgramOptions options =
        vellarion::parseProgramOptions(QCoreApplication::arguments());
    if (options.exitText) {
        QTextStream(options.exitCode == 0 ? stdout : stderr) << *options.exitText;
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
        dialogs, *services, vellarion::settingsPathFor(QCoreApplication::applicationFilePath()));
}

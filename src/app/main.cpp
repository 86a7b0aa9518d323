// The window program.
#include "app/Application.h"
#include "app/IniFile.h"
#include "app/QtDialogs.h"
#include "app/Startup.h"

#include <QCommandLineParser>

int main(int argc, char** argv) {
    vellarion::QtDialogs dialogs;
    vellarion::Application app(argc, argv, dialogs);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Backs up and restores the settings and data of web browsers."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);

    return vellarion::runProgram(
        dialogs, vellarion::settingsPathFor(QCoreApplication::applicationFilePath()));
}

#pragma once

#include "core/services/ServicesFactory.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace vellarion {

// What the window program was asked for on its command line.
struct ProgramOptions {
    EnvironmentOptions environment;
    // --close-when-shown: quit once the main window has come up.
    bool closeWhenShown = false;
    // Set when the program should not start: the text to print, and the exit
    // code (0 after --help or --version, 2 after a usage error).
    std::optional<QString> exitText;
    int exitCode = 0;
};

// Reads the window program's arguments (argv[0] first): where the Windows
// data lives (--demo, --prefix DIR, --windows-root DIR, --user NAME,
// --windows-version N; read by the Linux build only), --close-when-shown,
// --help, --version.
ProgramOptions parseProgramOptions(const QStringList& arguments);

} // namespace vellarion

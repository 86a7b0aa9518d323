#pragma once

#include <QString>

namespace vellarion {

class Dialogs;
class SystemServices;

// Start-up of the window program: the main window (centred, active), the
// welcome window inside it, the hidden progress window; then the message loop
// until the program is ended. Returns the loop's exit code.
int runProgram(Dialogs& dialogs, SystemServices& services, const QString& settingsPath);

} // namespace vellarion

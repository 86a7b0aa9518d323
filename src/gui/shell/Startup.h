#pragma once

#include <QString>

namespace vellarion {

class Dialogs;
class SystemServices;

// Start-up of the window program: the main window (centred, active), the
// welcome window inside it, the hidden progress window; then the message loop
// until the program is ended. Returns the loop's exit code.
// closeWhenShown: closes the main window as soon as it is on the screen with
// the welcome window in it, and says so on the standard output; a window that
// does not come up within 30 seconds ends the program with exit code 1. It
// checks that an installed program starts (its platform plugin, style and
// pictures) with nobody at the screen.
int runProgram(Dialogs& dialogs, SystemServices& services, const QString& settingsPath,
               bool closeWhenShown = false);

// The language of the windows: the one chosen on the settings tab (the
// settings file's Language beside Layout), else the user's environment's.
// Takes effect for windows made after it is set, so at start-up.
void setWindowsLanguage(const QString& settingsPath);

} // namespace vellarion

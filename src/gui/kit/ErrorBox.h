#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vellarion {

class Dialogs;

// The text of the standard error box: the error's own text, with a full stop
// added when its last character sorts above "." (a letter or a digit, say),
// so "Access denied" reads "Access denied." and "Done." stays as it is.
QString errorBoxText(const QString& message);

// The standard error box: the text above, titled with the application title,
// error icon, OK.
void showStandardError(Dialogs& dialogs, QWidget* parent, const QString& message);

// Runs an event handler where it is connected: an error it throws ends the
// handler and is shown in the standard error box, so that no exception ever
// crosses Qt's signal dispatch (the application's notify() stays the last
// net for events).
void runGuarded(Dialogs& dialogs, QWidget* parent, const std::function<void()>& handler);

} // namespace vellarion

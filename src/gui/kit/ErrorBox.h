#pragma once

#include <QString>

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

} // namespace vellarion

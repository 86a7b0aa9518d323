#pragma once

#include <QColor>
#include <QFont>

class QWidget;

namespace vellarion {

// Tahoma 8 pt where it is installed, else the system's sans font at 8 pt.
QFont programFont();

// For the programs that draw windows without a screen (the screenshots tool,
// the gui suites), before the application object is made: Qt's offscreen
// platform unless QT_QPA_PLATFORM names one. On Windows it also points that
// platform at the system's fonts (QT_QPA_FONTDIR, unless set): by itself it
// looks in Qt's own "fonts" folder only, and without fonts every letter is
// drawn as an empty box.
void preferOffscreenPlatform();

// The light grey of the main window and its document windows.
inline QColor formColor() {
    return QColor(242, 242, 242);
}

// Gives a widget a plain background colour.
void setBackground(QWidget* widget, const QColor& color);

// Centres a top-level window on the screen it is on (the primary screen for
// a window not yet shown).
void centreOnScreen(QWidget* window);

} // namespace vellarion

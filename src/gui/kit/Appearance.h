#pragma once

#include <QColor>
#include <QFont>

class QWidget;

namespace vellarion {

// Tahoma 8 pt where it is installed, else the system's sans font at 8 pt.
QFont programFont();

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

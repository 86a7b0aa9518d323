#include "gui/kit/Appearance.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vellarion {

QFont programFont() {
    const QStringList families = QFontDatabase::families();
    const QString tahoma = QStringLiteral("Tahoma");
    if (families.contains(tahoma, Qt::CaseInsensitive)) {
        return QFont(tahoma, 8);
    }
#ifdef Q_OS_WIN
    // A Windows without Tahoma (Wine without its own fonts) may have no family
    // behind the system font's name either, and Qt then takes the first
    // family it knows, serif or not: a sans family it has comes first.
    for (const QString& sans : {QStringLiteral("Segoe UI"), QStringLiteral("Arial"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}) {
        if (families.contains(sans, Qt::CaseInsensitive)) {
            return QFont(sans, 8);
        }
    }
#endif
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

void preferOffscreenPlatform() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        return;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR")) {
        qputenv("QT_QPA_FONTDIR", qgetenv("WINDIR") + "\\Fonts");
    }
#endif
}

void setBackground(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void centreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    QRect frame = window->frameGeometry();
    frame.moveCenter(available.center());
    window->move(frame.topLeft());
}

} // namespace vellarion

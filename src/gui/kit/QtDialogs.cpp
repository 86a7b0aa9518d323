#include "gui/kit/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace vellarion {

namespace {

QMessageBox::Icon toQt(Dialogs::Icon icon) {
    switch (icon) {
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Warning:
        return QMessageBox::Warning;
    case Dialogs::Icon::Error:
        return QMessageBox::Critical;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Dialogs::Answer QtDialogs::message(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                                   const QString& title) {
    QMessageBox box(
        toQt(icon), title.isEmpty() ? QApplication::applicationName() : title, text,
        buttons == Buttons::YesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, parent);
    const int result = box.exec();
    if (buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString QtDialogs::chooseFolder(QWidget* parent, const QString& caption,
                                const QString& startFolder) {
    return QFileDialog::getExistingDirectory(parent, caption, startFolder);
}

std::optional<QString> QtDialogs::askPassword(QWidget* parent, const QString& text) {
    bool ok = false;
    QString password = QInputDialog::getText(parent, QApplication::applicationName(), text,
                                             QLineEdit::Password, QString(), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return password;
}

} // namespace vellarion

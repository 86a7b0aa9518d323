#include "FakeDialogs.h"

namespace vellarion::test {

Dialogs::Answer FakeDialogs::message(QWidget*, const QString& text, Icon icon, Buttons buttons,
                                     const QString& title) {
    shown_.push_back({text, icon, buttons, title});
    if (buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    if (answers_.empty()) {
        return Answer::Yes;
    }
    const Answer a = answers_.front();
    answers_.pop_front();
    return a;
}

QString FakeDialogs::chooseFolder(QWidget*, const QString&, const QString&) {
    if (folders_.empty()) {
        return QString();
    }
    QString f = folders_.front();
    folders_.pop_front();
    return f;
}

std::optional<QString> FakeDialogs::askPassword(QWidget*, const QString& text) {
    passwordQuestions_ << text;
    if (passwords_.empty()) {
        return std::nullopt;
    }
    QString p = passwords_.front();
    passwords_.pop_front();
    return p;
}

QStringList FakeDialogs::texts() const {
    QStringList list;
    for (const Shown& s : shown_) {
        list << s.text;
    }
    return list;
}

} // namespace vellarion::test

#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace vellarion {

// Every message box and folder choice of the program goes through this seam,
// so that tests can install a recording fake with scripted answers and never
// block in a modal exec().
class Dialogs {
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~Dialogs() = default;

    // A modal message box titled `title` (the application title when empty).
    virtual Answer message(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                           const QString& title = QString()) = 0;

    // The folder browser; an empty result means the user cancelled.
    virtual QString chooseFolder(QWidget* parent, const QString& caption,
                                 const QString& startFolder) = 0;

    // Asks for a password, shown as dots; none when the user cancelled.
    virtual std::optional<QString> askPassword(QWidget* parent, const QString& text) = 0;

    // A plain message box with an OK button and no icon.
    void showMessage(QWidget* parent, const QString& text) {
        message(parent, text, Icon::None, Buttons::Ok);
    }
    // The standard error box: error icon, OK.
    void showError(QWidget* parent, const QString& text) {
        message(parent, text, Icon::Error, Buttons::Ok);
    }
    // A Yes/No question; true when Yes was pressed.
    bool askYesNo(QWidget* parent, const QString& text, Icon icon = Icon::Question) {
        return message(parent, text, icon, Buttons::YesNo) == Answer::Yes;
    }
};

} // namespace vellarion

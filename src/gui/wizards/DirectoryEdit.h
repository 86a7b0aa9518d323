#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLineEdit;
class QToolButton;

namespace vellarion {

class Dialogs;

// A directory edit: a text field with a button that opens the folder
// browser. The chosen folder's path replaces the field's text; the user may
// also type. Its first text is its placeholder, which the wizards read as
// "not filled in".
class DirectoryEdit : public QWidget {
    Q_OBJECT
public:
    DirectoryEdit(Dialogs& dialogs, const QString& initialText, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    // The text field and the button, for tests and layout.
    QLineEdit* lineEdit() const { return edit_; }
    QToolButton* browseButton() const { return button_; }
    // Grey text (the custom profile location is drawn so).
    void setGreyText(bool grey);

    // Opens the folder browser; a chosen folder replaces the text.
    void browse();

    // The text may also name a folder of an rclone remote
    // (rclone:REMOTE:PATH), which the tip says. Once the text begins so,
    // `remotes` is asked (once) for the remotes rclone knows (none: rclone
    // is missing): the edit offers them ("rclone:nas:") and its tip names
    // them.
    using RemoteNames = std::function<std::optional<std::vector<std::string>>()>;
    void offerRemotes(RemoteNames remotes);

signals:
    // Every change of the text, typed or chosen.
    void textChanged(const QString& text);

private:
    // The text begins to name a remote: the remotes asked for, once.
    void remotesWanted();

    Dialogs& dialogs_;
    RemoteNames remotes_;
    bool remotesAsked_ = false;
    QLineEdit* edit_;
    QToolButton* button_;
};

} // namespace vellarion

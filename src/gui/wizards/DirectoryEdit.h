#pragma once

#include <QString>
#include <QWidget>

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

signals:
    // Every change of the text, typed or chosen.
    void textChanged(const QString& text);

private:
    Dialogs& dialogs_;
    QLineEdit* edit_;
    QToolButton* button_;
};

} // namespace vellarion

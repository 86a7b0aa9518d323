#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace vellarion {

class LinkLabel;
class Picture;
struct ShellContext;

// The welcome window, shown inside the main window at start-up.
class TFStart : public QWidget {
    Q_OBJECT
public:
    explicit TFStart(ShellContext& context, QWidget* parent = nullptr);

    Picture* Image1;
    Picture* Image3;
    Picture* Image4;
    QLabel* Label18;
    QLabel* Label1;
    QLabel* Label6;
    QLabel* Label2;
    QLabel* Label7;
    QLabel* Label11;
    QLabel* Label3;
    QLabel* Label8;
    QLabel* Label4;
    QLabel* Label9;
    QLabel* Label5;
    QLabel* Label10;
    QLabel* Label12;
    LinkLabel* Label13;
    QLabel* Label14;
    Picture* Image2;
    QLabel* Label15;
    QLabel* Label17;
    QPushButton* Button3;

    // "Отмена": ends the program.
    void Button3Click();
    // The help page of the maker's site.
    void Label13Click();

private:
    ShellContext& context_;
};

// The welcome window while it is open.
extern QPointer<TFStart> FStart;

} // namespace vellarion

#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace vellarion {

class LinkLabel;
class Picture;

// The About window: an independent top-level window; each About command opens
// a new one, and each closes (and frees itself) on its own.
class Tf_About : public QWidget {
    Q_OBJECT
public:
    explicit Tf_About(QWidget* parent = nullptr);

    Picture* Image1;
    Picture* Image3;
    QLabel* Label1;
    QLabel* Label2;
    LinkLabel* Label13;
    QLabel* Label4;
    QLabel* Label5;
    Picture* Image2;
    QPushButton* Button1;

    void Label13Click();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool placed_ = false;
};

// The About window opened last.
extern QPointer<Tf_About> f_About;

} // namespace vellarion

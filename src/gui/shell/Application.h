#pragma once

#include <QApplication>

namespace vellarion {

class Dialogs;

// The application object. It carries the application title and shows the
// standard error box for every error that an event handler lets through, so
// a failed command ends that command and the program goes on.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv, Dialogs& errorDialogs);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    Dialogs& errorDialogs_;
};

} // namespace vellarion

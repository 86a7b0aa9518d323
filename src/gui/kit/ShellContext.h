#pragma once

#include <QCoreApplication>
#include <QString>
#include <functional>
#include <memory>
#include <utility>

namespace vellarion {

class Dialogs;
class HttpTransport;
class ProgressSink;
class SystemServices;

// What the windows of the program need from outside, handed to the main
// window and passed on by it to every window it creates. Tests build one with
// a recording Dialogs, a temporary settings file and their own terminate.
struct ShellContext {
    ShellContext(
        Dialogs& dialogs, ProgressSink& progress, SystemServices& services, QString settingsPath,
        std::function<void()> terminate = [] { QCoreApplication::quit(); })
        : dialogs(dialogs), progress(progress), services(services),
          settingsPath(std::move(settingsPath)), terminate(std::move(terminate)) {}

    // Every message box and folder choice.
    Dialogs& dialogs;
    // The progress window shared by the selective jobs.
    ProgressSink& progress;
    // Everything that asks the operating system: the user environment, file
    // trees, the registry. The wizards find the browsers' data through it.
    SystemServices& services;
    // The settings file beside the executable.
    QString settingsPath;
    // Ends the program (the Close command, Finish and Cancel of the windows).
    std::function<void()> terminate;
    // How the update window reaches the web; empty: Qt Network. Tests give a
    // local or scripted one.
    std::function<std::unique_ptr<HttpTransport>()> makeHttpTransport;
};

} // namespace vellarion

#pragma once

#include <QCoreApplication>
#include <QString>
#include <functional>

namespace vellarion {

class Dialogs;
class ProgressSink;

// What the windows of the program need from outside, handed to the main
// window and passed on by it to every window it creates. Tests build one with
// a recording Dialogs, a temporary settings file and their own terminate.
struct ShellContext {
    // Every message box and folder choice.
    Dialogs& dialogs;
    // The progress window shared by the selective jobs.
    ProgressSink& progress;
    // The settings file beside the executable.
    QString settingsPath;
    // Ends the program (the Close command, Finish and Cancel of the windows).
    std::function<void()> terminate = [] { QCoreApplication::quit(); };
    // The system services object (environment, file trees, registry) joins
    // here when it exists.
};

} // namespace vellarion

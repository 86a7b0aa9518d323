#pragma once

#include "SamplePrefixFixture.h"
#include "ShellFixture.h"

#include <QAction>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace vellarion::test {

// The shell over a sample Windows prefix (Firefox and Flock data for
// Windows 7 unless told otherwise) with a backup location of its own. The
// main window on the sample opens with the first command a test runs.
class WizardWindowTest : public ShellTest {
protected:
    explicit WizardWindowTest(SamplePrefixOptions options = {});
    ~WizardWindowTest() override;

    // Runs a command of the main window and returns the window it opened.
    template <class Window> Window* open(const char* command) {
        if (!form) {
            form = std::make_unique<TForm1>(sampleContext);
            activate(*form);
        }
        form->action(QString::fromLatin1(command))->trigger();
        QMdiSubWindow* frame = form->documents()->activeSubWindow();
        auto* window = frame != nullptr ? qobject_cast<Window*>(frame->widget()) : nullptr;
        EXPECT_NE(window, nullptr) << command;
        return window;
    }
    // Makes an open window the active document again.
    void activateDocument(QWidget& window);

    // Firefox's data root on the sample, and a profile folder in it.
    std::filesystem::path firefoxRoot() const;
    std::filesystem::path firefoxProfile(std::string_view name) const;

    SamplePrefixFixture fx;
    ShellContext sampleContext;
    std::unique_ptr<TForm1> form;
    std::filesystem::path backups;
};

// A path as the window's edits show it.
QString native(const std::filesystem::path& path);
// The entries of a list, in order.
QStringList entries(const QListWidget* list);

// No control of the window covers another, each lies inside the window and
// shows its whole text. Allowed: the header (banner, icon, title), a section
// bar under its own headings, and what is hidden (Finish in Next's place).
void expectNoControlCoversAnother(const QWidget& window);

} // namespace vellarion::test

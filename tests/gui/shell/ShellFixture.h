#pragma once

#include "FakeDialogs.h"
#include "TempDir.h"
#include "core/services/SystemServices.h"
#include "gui/kit/ShellContext.h"
#include "gui/shell/Intro.h"
#include "gui/shell/pBar.h"

#include <QDir>
#include <QObject>
#include <QString>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

namespace vellarion::test {

// The recording dialogs behind the application's standard error box.
FakeDialogs& applicationErrors();

// Makes a window the active one and waits until the window system agrees.
void activate(QWidget& window);

// Records the links the program hands to the desktop, instead of opening them.
class LinkRecorder : public QObject {
    Q_OBJECT
public:
    LinkRecorder();
    ~LinkRecorder() override;
    const QList<QUrl>& links() const { return links_; }

public slots:
    void open(const QUrl& url) { links_.append(url); }

private:
    QList<QUrl> links_;
};

// TEXT with the line ends the settings file is written with: CR LF on
// Windows, as its programs expect, LF elsewhere.
std::string settingsText(std::string text);

// Changes the current directory for the life of the object.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const QString& path);
    ~CurrentDirectory();

private:
    QString previous_;
};

// What every shell test needs: recording dialogs, a progress window, a
// settings file in a temporary directory and a terminate that only counts.
class ShellTest : public ::testing::Test {
protected:
    ShellTest();
    ~ShellTest() override;

    QString settingsPath() const;
    // A main window on this test's context, shown and active.
    std::unique_ptr<TForm1> openMainWindow();

    FakeDialogs dialogs;
    TempDir dir;
    Tf_pBar progress;
    int terminated = 0;
    // Requests the update windows sent; the fixture's network is offline.
    int webRequests = 0;
    // No Windows prefix: no browser is found, custom locations still work.
    std::unique_ptr<SystemServices> services;
    ShellContext context;
};

} // namespace vellarion::test

#include "ShellFixture.h"

#include "app/IniFile.h"

#include <QApplication>
#include <QDesktopServices>
#include <QTest>

namespace vellarion::test {

void activate(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

LinkRecorder::LinkRecorder() {
    for (const char* scheme : {"http", "https", "mailto"}) {
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
}

LinkRecorder::~LinkRecorder() {
    for (const char* scheme : {"http", "https", "mailto"}) {
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
}

CurrentDirectory::CurrentDirectory(const QString& path) : previous_(QDir::currentPath()) {
    QDir::setCurrent(path);
}

CurrentDirectory::~CurrentDirectory() {
    QDir::setCurrent(previous_);
}

ShellTest::ShellTest() : context{dialogs, progress, settingsPath(), [this] { ++terminated; }} {
    applicationErrors().clear();
}

ShellTest::~ShellTest() {
    // Windows a test left open must not become the next test's.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != &progress && window->isVisible()) {
            window->close();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString ShellTest::settingsPath() const {
    return QDir(QString::fromStdString(dir.path().string()))
        .filePath(QStringLiteral("vellarion.ini"));
}

std::unique_ptr<TForm1> ShellTest::openMainWindow() {
    auto form = std::make_unique<TForm1>(context);
    activate(*form);
    return form;
}

} // namespace vellarion::test

#include "ShellFixture.h"

#include "core/services/ServicesFactory.h"
#include "core/text/Catalogue.h"
#include "core/update/HttpTransport.h"
#include "gui/shell/IniFile.h"

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

std::string settingsText(std::string text) {
#ifdef _WIN32
    std::string crlf;
    for (const char c : text) {
        if (c == '\n') {
            crlf += '\r';
        }
        crlf += c;
    }
    text = crlf;
#endif
    return text;
}

CurrentDirectory::CurrentDirectory(const QString& path) : previous_(QDir::currentPath()) {
    QDir::setCurrent(path);
}

CurrentDirectory::~CurrentDirectory() {
    QDir::setCurrent(previous_);
}

namespace {

// A network that refuses every connection, as a machine offline would.
class OfflineResponse : public HttpResponse {
public:
    int status() const override { return 0; }
    std::optional<std::string> contentLength() const override { return std::nullopt; }
    std::size_t read(char*, std::size_t) override { return 0; }
    bool failed() const override { return true; }
    void abort() override {}
};

class OfflineTransport : public HttpTransport {
public:
    explicit OfflineTransport(int& requests) : requests_(requests) {}
    std::unique_ptr<HttpResponse> get(const HttpRequest&) override {
        ++requests_;
        return std::make_unique<OfflineResponse>();
    }

private:
    int& requests_;
};

} // namespace

ShellTest::ShellTest()
    : services(makeSystemServices({}, ProcessEnvironment{})), context{dialogs, progress, *services,
                                                                      settingsPath(),
                                                                      [this] { ++terminated; }} {
    context.makeHttpTransport = [this] { return std::make_unique<OfflineTransport>(webRequests); };
    applicationErrors().clear();
}

ShellTest::~ShellTest() {
    setLanguage(Language::Russian); // a start-up a test ran may have chosen another
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

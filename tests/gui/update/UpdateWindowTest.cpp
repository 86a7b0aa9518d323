#include "FakeDialogs.h"
#include "LocalHttpServer.h"
#include "TempDir.h"
#include "UpdatePages.h"
#include "core/services/PathMapper.h"
#include "core/services/Sha256.h"
#include "gui/update/QtHttpTransport.h"
#include "gui/update/Update.h"
#include "gui/update/mxWebUpdateInfo.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::FakeDialogs;
using test::LocalHttpServer;
using test::TempDir;
using Icon = Dialogs::Icon;

const QString kNoUpdates = QStringLiteral("Обновлений нет!");
const QString kCannotDownload = QStringLiteral("Cannot download data from the web");
const QString kChangelog = QStringLiteral("Would you like to read the changelog?");

QString updateQuestion(const QString& offered) {
    return QStringLiteral("You are using version 2.1.3, but version %1 is available.\n\n"
                          "Do you want to update your application now?")
        .arg(offered);
}

QByteArray meta(const std::string& name, const QByteArray& value) {
    return QByteArray::fromStdString(test::meta(name, value.toStdString()));
}

QByteArray updatePage(const std::string& version, const QByteArray& more = {}) {
    return QByteArray::fromStdString(test::updatePage(version, more.toStdString()));
}

// The window asks the maker's real address; the tests answer it here.
class SiteOnLocalServer : public HttpTransport {
public:
    explicit SiteOnLocalServer(quint16 port) : port_(port) {}
    std::unique_ptr<HttpResponse> get(const HttpRequest& request) override {
        HttpRequest local = request;
        const std::string site = "https://vellarion.example.org/";
        if (local.url.rfind(site, 0) == 0) {
            local.url =
                "http://127.0.0.1:" + std::to_string(port_) + "/" + local.url.substr(site.size());
        }
        return real_.get(local);
    }

private:
    QtHttpTransport real_;
    quint16 port_;
};

class CurrentDirectory {
public:
    explicit CurrentDirectory(const fs::path& dir) : old_(QDir::currentPath()) {
        QDir::setCurrent(QString::fromStdString(pathToUtf8(dir)));
    }
    ~CurrentDirectory() { QDir::setCurrent(old_); }

private:
    QString old_;
};

class UpdateWindow : public ::testing::Test {
protected:
    UpdateWindow() {
        // Acts on the information window once it is up and modal.
        poll_.setInterval(10);
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* info = qobject_cast<Tfrm_ShowInfoUpdate*>(QApplication::activeModalWidget());
            if (info != nullptr && onInfoWindow) {
                ++infoShowings;
                onInfoWindow(*info);
            }
        });
        poll_.start();
    }

    Tf_Update::Seams seams(quint16 port = 0) {
        const quint16 target = port != 0 ? port : server.port();
        return {[target] { return std::make_unique<SiteOnLocalServer>(target); },
                [this](const std::string& file, const std::string& parameters) {
                    started.emplace_back(file, parameters);
                    return true;
                },
                [this] { ++terminations; }};
    }
    std::unique_ptr<Tf_Update> check() {
        return std::make_unique<Tf_Update>(dialogs, nullptr, seams());
    }
    void expectNothingDownloaded() {
        EXPECT_FALSE(fs::exists(dir / "Update.exe"));
        EXPECT_FALSE(fs::exists(dir / "Update.exe.part"));
        EXPECT_TRUE(started.empty());
        EXPECT_EQ(terminations, 0);
    }

    TempDir dir;
    CurrentDirectory cwd{dir.path()};
    LocalHttpServer server;
    FakeDialogs dialogs;
    std::vector<std::pair<std::string, std::string>> started;
    int terminations = 0;
    std::function<void(Tfrm_ShowInfoUpdate&)> onInfoWindow;
    int infoShowings = 0;

private:
    QTimer poll_;
};

void press(QWidget& widget, int key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &down);
}

TEST_F(UpdateWindow, NoNewerVersionShowsOnlyTheNoUpdatesBox) {
    server.serve("/update.html", updatePage("2.1.3"));
    const auto window = check();

    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, kNoUpdates);
    EXPECT_EQ(dialogs.shown()[0].icon, Icon::Error);
    EXPECT_EQ(dialogs.shown()[0].buttons, Dialogs::Buttons::Ok);
    // The maker's page, fetched from the server itself.
    ASSERT_EQ(server.requests.size(), 1u);
    EXPECT_EQ(server.requests[0].path, "/update.html");
    EXPECT_EQ(server.requests[0].headers.value("user-agent"), "TmxWebUpdate");
    EXPECT_EQ(server.requests[0].headers.value("cache-control"), "no-cache");
    EXPECT_EQ(server.requests[0].headers.value("pragma"), "no-cache");
    // The window: still hidden, its bar at the end of the page's transfer.
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(f_Update, window.get());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Web Update"));
    EXPECT_EQ(window->size(), QSize(232, 24));
    EXPECT_EQ(window->ProgressBar->geometry(), QRect(3, 4, 225, 17));
    EXPECT_EQ(window->ProgressBar->maximum(), updatePage("2.1.3").size());
    EXPECT_EQ(window->ProgressBar->value(), window->ProgressBar->maximum());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(UpdateWindow, DecliningTheUpdateEndsTheCheck) {
    server.serve("/update.html", updatePage("2.2"));
    dialogs.queueAnswer(Dialogs::Answer::No);
    const auto window = check();

    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, updateQuestion(QStringLiteral("2.2")));
    EXPECT_EQ(dialogs.shown()[0].icon, Icon::Warning);
    EXPECT_EQ(dialogs.shown()[0].buttons, Dialogs::Buttons::YesNo);
    EXPECT_EQ(server.paths(), QList<QByteArray>{"/update.html"});
    expectNothingDownloaded();
}

TEST_F(UpdateWindow, NoToTheChangelogStillDownloadsIntoTheCurrentFolderAndStarts) {
    const QByteArray program(5000, 'u');
    server.serve("/update.html", updatePage("2.1.4"));
    server.serve("/files/Update.exe", program); // the page names it without a host
    dialogs.queueAnswer(Dialogs::Answer::Yes);
    dialogs.queueAnswer(Dialogs::Answer::No);
    const auto window = check();

    EXPECT_EQ(dialogs.texts(), (QStringList{updateQuestion(QStringLiteral("2.1.4")), kChangelog}));
    EXPECT_EQ(dialogs.shown()[1].icon, Icon::Question);
    EXPECT_EQ(infoShowings, 0);
    EXPECT_EQ(server.paths(), (QList<QByteArray>{"/update.html", "/files/Update.exe"}));
    EXPECT_EQ(test::readFile(dir / "Update.exe"), program.toStdString());
    ASSERT_EQ(started.size(), 1u);
    EXPECT_TRUE(fs::equivalent(pathFromUtf8(started[0].first), dir / "Update.exe"));
    EXPECT_EQ(started[0].second, "/S /lang=ru");
    EXPECT_EQ(terminations, 1);
    EXPECT_EQ(window->ProgressBar->maximum(), 5000);
    EXPECT_EQ(window->ProgressBar->value(), 5000);
}

TEST_F(UpdateWindow, APageWithoutContentLengthEndsWithAFinishedBarNotABusyOne) {
    LocalHttpServer::Reply page;
    page.body = updatePage("2.1.3");
    page.announceLength = false;
    server.serve("/update.html", page);
    const auto window = check();

    EXPECT_EQ(dialogs.texts(), QStringList{kNoUpdates});
    EXPECT_GT(window->ProgressBar->maximum(), 0) << "a maximum of 0 is the busy bar";
    EXPECT_EQ(window->ProgressBar->value(), window->ProgressBar->maximum());
}

TEST_F(UpdateWindow, CancelOrEscapeInTheInformationWindowEndsTheCheckQuietly) {
    server.serve("/update.html", updatePage("2.1.4"));
    server.serve("/files/Update.exe", "program");
    QString shownText;
    onInfoWindow = [&](Tfrm_ShowInfoUpdate& info) {
        shownText = info.WebBrowser->toPlainText();
        EXPECT_EQ(info.btn_OK->text(), QStringLiteral("&OK"));
        EXPECT_EQ(info.btn_Cancel->text(), QStringLiteral("&Отмена"));
        EXPECT_EQ(info.windowTitle(), QStringLiteral("Web Update"));
        EXPECT_FALSE(info.windowFlags() & Qt::WindowCloseButtonHint);
        if (infoShowings == 1) {
            info.btn_Cancel->click();
        } else {
            press(info, Qt::Key_Escape);
        }
    };
    for (int round = 1; round <= 2; ++round) {
        dialogs.clear();
        const auto window = check();
        EXPECT_EQ(infoShowings, round);
        EXPECT_EQ(dialogs.texts(),
                  (QStringList{updateQuestion(QStringLiteral("2.1.4")), kChangelog}));
        EXPECT_TRUE(shownText.contains(QStringLiteral("What is new in this version")));
    }
    EXPECT_FALSE(server.paths().contains("/files/Update.exe"));
    expectNothingDownloaded();
}

TEST_F(UpdateWindow, OkInTheInformationWindowGoesOnToTheDownload) {
    server.serve("/update.html", updatePage("2.1.4"));
    server.serve("/files/Update.exe", "program");
    onInfoWindow = [](Tfrm_ShowInfoUpdate& info) { press(info, Qt::Key_Return); };
    const auto window = check();
    EXPECT_EQ(infoShowings, 1);
    EXPECT_EQ(test::readFile(dir / "Update.exe"), "program");
    EXPECT_EQ(started.size(), 1u);
}

TEST_F(UpdateWindow, ARedirectionIsFollowedToThePageThatNamesTheUpdate) {
    server.serve("/update.html",
                 meta("mxRedirection", server.url(QStringLiteral("/v2/update.html")).toUtf8()));
    server.serve("/v2/update.html",
                 updatePage("2.1.4", meta("mxDownload",
                                          server.url(QStringLiteral("/v2/Update.exe")).toUtf8())));
    server.serve("/v2/Update.exe", "from the mirror");
    dialogs.queueAnswer(Dialogs::Answer::Yes);
    dialogs.queueAnswer(Dialogs::Answer::No);
    const auto window = check();
    EXPECT_EQ(server.paths(),
              (QList<QByteArray>{"/update.html", "/v2/update.html", "/v2/Update.exe"}));
    EXPECT_EQ(test::readFile(dir / "Update.exe"), "from the mirror");
}

TEST_F(UpdateWindow, ADownloadThatIsNotWholeOrNotTheRightOneIsReportedAndRemoved) {
    const QByteArray program = "the update";
    Sha256 other;
    other.update("another file");
    struct Case {
        const char* what;
        LocalHttpServer::Reply reply;
        QByteArray more;
    };
    std::vector<Case> cases(4);
    cases[0] = {"no Content-Length", {}, {}};
    cases[0].reply.announceLength = false;
    cases[1] = {"a wrong length", {}, {}};
    cases[1].reply.announcedLength = 5000;
    cases[2] = {"a 404", {}, {}};
    cases[2].reply.status = 404;
    cases[3] = {
        "a digest mismatch", {}, meta("mxSHA256", QByteArray::fromStdString(other.hexDigest()))};
    for (Case& c : cases) {
        dialogs.clear();
        c.reply.body = program;
        server.serve("/update.html", updatePage("2.1.4", c.more));
        server.serve("/files/Update.exe", c.reply);
        dialogs.queueAnswer(Dialogs::Answer::Yes);
        dialogs.queueAnswer(Dialogs::Answer::No);
        const auto window = check();
        EXPECT_EQ(dialogs.texts(), (QStringList{updateQuestion(QStringLiteral("2.1.4")), kChangelog,
                                                kCannotDownload}))
            << c.what;
        EXPECT_EQ(dialogs.shown().back().icon, Icon::Error) << c.what;
        expectNothingDownloaded();
    }
}

TEST_F(UpdateWindow, AnUnreachablePageIsReportedTwice) {
    LocalHttpServer::Reply missing;
    missing.status = 404;
    missing.body = updatePage("9.9"); // an error page is never read as the update page
    server.serve("/update.html", missing);
    {
        const auto window = check();
        EXPECT_EQ(dialogs.texts(), (QStringList{kCannotDownload, kCannotDownload}));
    }
    quint16 closedPort = 0;
    {
        QTcpServer gone;
        gone.listen(QHostAddress::LocalHost, 0);
        closedPort = gone.serverPort();
    }
    dialogs.clear();
    Tf_Update refused(dialogs, nullptr, seams(closedPort));
    EXPECT_EQ(dialogs.texts(), (QStringList{kCannotDownload, kCannotDownload}));
    EXPECT_EQ(dialogs.shown()[0].icon, Icon::Error);
    expectNothingDownloaded();
}

TEST_F(UpdateWindow, EachUpdatesCommandRunsItsOwnCheckAndClosingDestroysTheWindow) {
    server.serve("/update.html", updatePage("2.1.3"));
    QPointer<Tf_Update> first = new Tf_Update(dialogs, nullptr, seams());
    QPointer<Tf_Update> second = new Tf_Update(dialogs, nullptr, seams());
    EXPECT_EQ(server.paths(), (QList<QByteArray>{"/update.html", "/update.html"}));
    EXPECT_EQ(dialogs.texts(), (QStringList{kNoUpdates, kNoUpdates}));
    EXPECT_EQ(f_Update, second.data());

    second->show();
    second->close();
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(f_Update, nullptr);
}

TEST(ShowInfoUpdate, ButtonsStayTogetherAboutTheMiddle) {
    QtHttpTransport transport;
    Tfrm_ShowInfoUpdate info(transport);
    info.show();
    EXPECT_EQ(info.size(), QSize(491, 387));
    EXPECT_EQ(info.Panel_Bottom->height(), 41);
    EXPECT_EQ(info.Panel_Bottom->width(), 491);
    EXPECT_EQ(info.btn_OK->geometry(), QRect(167, 6, 75, 25));
    EXPECT_EQ(info.btn_Cancel->geometry(), QRect(245, 6, 75, 25));
    EXPECT_EQ(info.btn_OK->text(), QStringLiteral("OK"));
    EXPECT_EQ(info.btn_Cancel->text(), QStringLiteral("Отмена"));

    info.resize(700, 400);
    QApplication::processEvents();
    EXPECT_EQ(info.btn_OK->x(), 272);
    EXPECT_EQ(info.btn_Cancel->x(), 350);
}

} // namespace
} // namespace vellarion

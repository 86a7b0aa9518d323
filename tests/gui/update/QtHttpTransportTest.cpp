#include "gui/update/QtHttpTransport.h"

#include "LocalHttpServer.h"
#include "TempDir.h"
#include "core/services/PathMapper.h"
#include "core/update/mxWebUpdate.h"

#include <QCoreApplication>
#include <QSslSocket>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace vellarion {
namespace {

using test::LocalHttpServer;

HttpRequest at(const LocalHttpServer& server, const char* path) {
    return {server.url(QString::fromLatin1(path)).toStdString(), {}, {}};
}

TEST(QtHttpTransport, CredentialsReachTheServerThatAsksForThem) {
    LocalHttpServer server;
    LocalHttpServer::Reply secret;
    secret.body = "members only";
    secret.basicAuth = "bob:s3cret";
    server.serve("/secret.html", secret);
    QtHttpTransport transport;

    EXPECT_FALSE(fetchWholeBody(transport, at(server, "/secret.html")).has_value());
    HttpRequest withCredentials = at(server, "/secret.html");
    withCredentials.userName = "bob";
    withCredentials.password = "s3cret";
    EXPECT_EQ(fetchWholeBody(transport, withCredentials), "members only");
}

TEST(QtHttpTransport, HttpsAddressesAreSpokenToOverTls) {
    if (!QSslSocket::supportsSsl()) {
        GTEST_SKIP() << "no TLS backend";
    }
    LocalHttpServer server;
    QtHttpTransport transport;
    const auto response = transport.get(
        {"https://127.0.0.1:" + std::to_string(server.port()) + "/update.html", {}, {}});
    EXPECT_EQ(response->status(), 0); // a plain server cannot answer it
    ASSERT_FALSE(server.requests.empty());
    EXPECT_EQ(server.requests[0].firstBytes.left(1), QByteArray("\x16")); // a TLS greeting
}

// Runs the component over the real transport without any window.
class QuietHost : public UpdateHost {
public:
    void processMessages() override { QCoreApplication::processEvents(); }
    bool execute(const std::string&, const std::string&) override { return true; }
    void terminate() override {}
    std::unique_ptr<UpdateInfoWindow> createInfoWindow() override { return nullptr; }
};

TEST(QtHttpTransport, AbortEndsAStalledDownloadAtOnceWithoutAnError) {
    test::TempDir dir;
    LocalHttpServer server;
    server.serve("/update.html", "<META NAME=\"mxProduct\" CONTENT=\"Vellarion\">\n"
                                 "<META NAME=\"mxVersion\" CONTENT=\"2.2\">\n"
                                 "<META NAME=\"mxClientSideName\" CONTENT=\"Update.exe\">\n"
                                 "<META NAME=\"mxDownload\" CONTENT=\"/Update.exe\">\n");
    LocalHttpServer::Reply stalled;
    stalled.body = "the first bytes";
    stalled.announcedLength = 100000;
    stalled.stall = true;
    server.serve("/Update.exe", stalled);

    QtHttpTransport transport(std::chrono::hours(1));
    QuietHost host;
    TmxWebUpdate web(transport, host);
    web.ProductInfo.setURL(server.url(QStringLiteral("/update.html")).toStdString());
    web.ProductInfo.Version = "2.1.3";
    web.TargetFolder = pathToUtf8(dir.path());
    web.OnBeforeShowInfo = [](TmxWebUpdate&, bool& show, bool&) { show = false; };
    int errors = 0;
    web.OnDownloadError = [&](TmxWebUpdate&) { ++errors; };
    web.OnBeforeDownload = [&](TmxWebUpdate& sender, const std::string&) {
        QTimer::singleShot(50, [&sender] { sender.Abort(); });
    };

    // Were the abort not honoured, the check would wait on the stalled server
    // until the suite's time limit.
    EXPECT_FALSE(web.CheckForAnUpdate());
    EXPECT_EQ(errors, 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

} // namespace
} // namespace vellarion

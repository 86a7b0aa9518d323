#include "FakeUpdateSeams.h"
#include "TempDir.h"
#include "UpdatePages.h"
#include "core/services/PathMapper.h"
#include "core/services/Sha256.h"
#include "core/update/mxWebUpdate.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::FakeAnswer;
using test::FakeHost;
using test::FakeTransport;
using test::meta;
using test::TempDir;
using test::updatePage;

const std::string kPage = "https://updates.test/update.html";
const std::string kFile = "https://updates.test/files/Update.exe";

std::string sha256(std::string_view bytes) {
    Sha256 h;
    h.update(bytes);
    return h.hexDigest();
}

class WebUpdate : public ::testing::Test {
protected:
    WebUpdate() {
        web.ProductInfo.setURL(kPage);
        web.ProductInfo.Version = "2.1.3";
        web.Options = {uoRunUpdate, uoTerminate, uoOverwrite};
        web.TargetFolder = pathToUtf8(dir.path());
        host.temp = pathToUtf8(dir / "temp") + "/";
        fs::create_directory(dir / "temp");
        web.OnBeforeGetInfo = [this](TmxWebUpdate&) { events.push_back("BeforeGetInfo"); };
        web.OnAfterGetInfo = [this](TmxWebUpdate&) { events.push_back("AfterGetInfo"); };
        web.OnNoUpdateFound = [this](TmxWebUpdate&) { events.push_back("NoUpdateFound"); };
        web.OnUpdateAvailable = [this](TmxWebUpdate&, const std::string& actual,
                                       const std::string& offered, bool& canUpdate) {
            events.push_back("UpdateAvailable " + actual + " " + offered);
            canUpdate = allowUpdate;
        };
        web.OnBeforeDownload = [this](TmxWebUpdate&, const std::string&) {
            events.push_back("BeforeDownload");
        };
        web.OnAfterDownload = [this](TmxWebUpdate&, const std::string&) {
            events.push_back("AfterDownload");
        };
        web.OnDownloadError = [this](TmxWebUpdate&) { events.push_back("DownloadError"); };
        web.OnCannotExecute = [this](TmxWebUpdate&) { events.push_back("CannotExecute"); };
    }

    int count(const std::string& event) const {
        return static_cast<int>(std::count(events.begin(), events.end(), event));
    }
    fs::path saved() const { return dir / "Update.exe"; }

    TempDir dir;
    FakeTransport net;
    FakeHost host;
    TmxWebUpdate web{net, host};
    std::vector<std::string> events;
    bool allowUpdate = true;
};

TEST_F(WebUpdate, AWholeUpdateIsDownloadedStartedAndTheApplicationAskedToEnd) {
    const std::string program(3000, 'x');
    net.page(kPage, updatePage("2.1.4"));
    net.page(kFile, program);
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
    web.OnDownload = [&](TmxWebUpdate&, std::int64_t total, std::int64_t done) {
        progress.emplace_back(total, done);
    };

    EXPECT_TRUE(web.CheckForAnUpdate());

    EXPECT_EQ(events, (std::vector<std::string>{"BeforeGetInfo", "AfterGetInfo",
                                                "UpdateAvailable 2.1.3 2.1.4", "BeforeDownload",
                                                "AfterDownload"}));
    EXPECT_EQ(test::readFile(saved()), program);
    EXPECT_FALSE(fs::exists(dir / "Update.exe.part"));
    ASSERT_EQ(host.started.size(), 1u);
    EXPECT_EQ(host.started[0].file, pathToUtf8(saved()));
    EXPECT_EQ(host.started[0].parameters, "/S /lang=ru");
    EXPECT_EQ(host.terminations, 1);
    // Blocks of 1025 bytes, the application's events handled after each.
    const auto pageSize = static_cast<std::int64_t>(updatePage("2.1.4").size());
    EXPECT_EQ(progress, (std::vector<std::pair<std::int64_t, std::int64_t>>{
                            {pageSize, pageSize}, {3000, 1025}, {3000, 2050}, {3000, 3000}}));
    EXPECT_GE(host.pumps, 3);
    EXPECT_EQ(web.ProductName(), "Vellarion");
    EXPECT_FALSE(web.Active());
    EXPECT_EQ(host.info.shown, std::vector<std::string>{kPage});
    EXPECT_EQ(host.info.ok, "&OK");
    EXPECT_EQ(host.info.cancel, "&Cancel");
}

TEST_F(WebUpdate, NoNewerVersionRaisesNoUpdateFoundExactlyOnce) {
    for (const char* version : {"2.1.3", "2.1", "2.1.3.1", "2.1.x"}) {
        events.clear();
        net.page(kPage, updatePage(version));
        EXPECT_FALSE(web.CheckForAnUpdate()) << version;
        EXPECT_EQ(count("NoUpdateFound"), 1) << version;
        EXPECT_EQ(count("DownloadError"), 0) << version;
    }
    EXPECT_EQ(net.urls(), std::vector<std::string>(4, kPage));
    EXPECT_TRUE(host.started.empty());
}

TEST_F(WebUpdate, FailedFetchesOfThePageAreReportedTwiceAMissingTagOnce) {
    // Refused connection.
    EXPECT_FALSE(web.CheckForAnUpdate());
    EXPECT_EQ(count("DownloadError"), 2);

    // An error page is no page, even with a body.
    events.clear();
    net.answers[kPage] = FakeAnswer{404, updatePage("9.9"), {}, true, false};
    EXPECT_FALSE(web.CheckForAnUpdate());
    EXPECT_EQ(count("DownloadError"), 2);
    EXPECT_EQ(count("UpdateAvailable 2.1.3 9.9"), 0);

    // A page that names the version but not the product.
    events.clear();
    net.page(kPage, meta("mxVersion", "9.9"));
    EXPECT_FALSE(web.CheckForAnUpdate());
    EXPECT_EQ(count("DownloadError"), 1);

    // Lower-case meta lines are not read at all.
    events.clear();
    net.page(kPage, "<meta name=\"mxProduct\" content=\"Vellarion\">\n"
                    "<meta name=\"mxVersion\" content=\"9.9\">\n");
    EXPECT_FALSE(web.CheckForAnUpdate());
    EXPECT_EQ(count("DownloadError"), 1);

    // A length that is not a number breaks the fetch without its own event.
    events.clear();
    net.answers[kPage] = FakeAnswer{200, updatePage("9.9"), "many", true, false};
    EXPECT_FALSE(web.CheckForAnUpdate());
    EXPECT_EQ(count("DownloadError"), 1);

    // A page that broke off is not read.
    events.clear();
    net.answers[kPage] = FakeAnswer{200, updatePage("9.9"), {}, false, true};
    EXPECT_FALSE(web.CheckForAnUpdate());
    EXPECT_EQ(count("DownloadError"), 2);
    EXPECT_TRUE(host.started.empty());
}

TEST_F(WebUpdate, LaterLinesWinAndCapitalsOfTheNameCount) {
    net.page(kPage, updatePage("2.1.4") + meta("mxVersion", "2.0") + meta("mxproduct", "Other") +
                        meta("mxAuthor", "A") + meta("mxEmail", "a@b"));
    allowUpdate = false;
    EXPECT_FALSE(web.CheckForAnUpdate());
    EXPECT_EQ(web.ProductVersion(), "2.0");
    EXPECT_EQ(web.ProductName(), "Vellarion");
    EXPECT_EQ(web.Author(), "A");
    EXPECT_EQ(web.EMail(), "a@b");
    EXPECT_EQ(count("NoUpdateFound"), 1);
}

TEST_F(WebUpdate, RedirectionsReadTheNextPageAndLongChainsFail) {
    const std::string second = "https://mirror.test/update.html";
    net.page(kPage, meta("mxRedirection", second) + meta("mxProduct", "Old"));
    net.page(second, updatePage("2.1.4"));
    net.page(kFile, "new");
    EXPECT_TRUE(web.CheckForAnUpdate());
    // A download address without a host is fetched from the update page's server.
    EXPECT_EQ(net.urls(), (std::vector<std::string>{kPage, second, kFile}));
    // The information window still shows the first address: reading the
    // redirected page cleared the redirection.
    EXPECT_EQ(host.info.shown, std::vector<std::string>{kPage});
    EXPECT_EQ(test::readFile(saved()), "new");

    // A page that sends the check round in circles ends as a failed fetch.
    net.requests.clear();
    events.clear();
    net.page(kPage, updatePage("2.1.4", meta("mxRedirection", kPage)));
    EXPECT_FALSE(web.CheckForAnUpdate());
    EXPECT_EQ(net.requests.size(), 10u);
    EXPECT_EQ(count("DownloadError"), 2);
}

TEST_F(WebUpdate, AddressesWithoutAHostUseTheUpdatePagesServerAndPort) {
    web.ProductInfo.setURL("updates.test/update.html");
    web.HTTPPort = 8080;
    web.UserName = "bob";
    web.Password = "secret";
    net.page("http://updates.test:8080/update.html", updatePage("2.1.4"));
    net.page("http://updates.test:8080/files/Update.exe", "bytes");
    EXPECT_TRUE(web.CheckForAnUpdate());
    ASSERT_EQ(net.requests.size(), 2u);
    EXPECT_EQ(net.requests[1].url, "http://updates.test:8080/files/Update.exe");
    EXPECT_EQ(net.requests[1].userName, "bob");
    EXPECT_EQ(net.requests[1].password, "secret");
}

TEST_F(WebUpdate, IncompleteDownloadsAreNeverStartedAndLeaveNothingBehind) {
    test::writeFile(saved(), "the old one");
    net.page(kPage, updatePage("2.1.4"));
    const FakeAnswer broken[] = {
        {200, "whole?", {}, false, false},    // no Content-Length
        {200, "short", "5000", true, false},  // fewer bytes than announced
        {200, "a 404 page", {}, true, false}, // see below
        {200, "cut off", {}, true, true},     // the connection broke
    };
    for (int i = 0; i < 4; ++i) {
        events.clear();
        net.answers[kFile] = broken[i];
        if (i == 2) {
            net.answers[kFile].status = 404;
        }
        EXPECT_FALSE(web.CheckForAnUpdate()) << i;
        EXPECT_EQ(count("DownloadError"), 1) << i;
        EXPECT_EQ(test::readFile(saved()), "the old one") << i;
        EXPECT_FALSE(fs::exists(dir / "Update.exe.part")) << i;
    }
    EXPECT_TRUE(host.started.empty());
    EXPECT_EQ(host.terminations, 0);
}

TEST_F(WebUpdate, ADigestOnThePageMustMatchTheDownload) {
    const std::string program = "the real update";
    net.page(kFile, program);
    net.page(kPage, updatePage("2.1.4", meta("mxSHA256", sha256("something else"))));
    EXPECT_FALSE(web.CheckForAnUpdate());
    EXPECT_EQ(count("DownloadError"), 1);
    EXPECT_FALSE(fs::exists(saved()));
    EXPECT_FALSE(fs::exists(dir / "Update.exe.part"));
    EXPECT_TRUE(host.started.empty());

    std::string upper = sha256(program);
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    net.page(kPage, updatePage("2.1.4", meta("mxSHA256", upper)));
    EXPECT_TRUE(web.CheckForAnUpdate());
    EXPECT_EQ(test::readFile(saved()), program);
}

TEST_F(WebUpdate, AnExistingFileIsReplacedOnlyWhenAllowed) {
    test::writeFile(saved(), "keep me");
    net.page(kPage, updatePage("2.1.4"));
    net.page(kFile, "new");
    web.Options = {uoRunUpdate};
    EXPECT_FALSE(web.CheckForAnUpdate());
    EXPECT_EQ(count("DownloadError"), 1);
    EXPECT_EQ(test::readFile(saved()), "keep me");
    EXPECT_EQ(net.requests.size(), 1u);

    web.OnClientFileExists = [](TmxWebUpdate&, std::string& name, bool& overwrite) {
        name += ".new";
        overwrite = true;
    };
    EXPECT_TRUE(web.CheckForAnUpdate());
    EXPECT_EQ(test::readFile(saved()), "keep me");
    EXPECT_EQ(test::readFile(dir / "Update.exe.new"), "new");
    EXPECT_EQ(host.started.back().file, pathToUtf8(saved()) + ".new");
    EXPECT_EQ(host.terminations, 0); // no uoTerminate
}

TEST_F(WebUpdate, WithoutATargetFolderTheDownloadGoesToTheTemporaryFolder) {
    web.TargetFolder = pathToUtf8(dir / "missing");
    net.page(kPage, updatePage("2.1.4"));
    net.page(kFile, "new");
    EXPECT_TRUE(web.CheckForAnUpdate());
    EXPECT_EQ(test::readFile(dir / "temp" / "Update.exe"), "new");

    host.temp.clear(); // no temporary folder either
    events.clear();
    EXPECT_FALSE(web.CheckForAnUpdate());
    EXPECT_EQ(count("DownloadError"), 1);
}

TEST_F(WebUpdate, FileNamesThatLeaveTheFolderAreRefused) {
    for (const char* name : {"../Update.exe", "/tmp/Update.exe", "..", ""}) {
        events.clear();
        net.requests.clear();
        net.page(kPage, updatePage("2.1.4", meta("mxClientSideName", name)));
        net.page(kFile, "new");
        EXPECT_FALSE(web.CheckForAnUpdate()) << name;
        EXPECT_EQ(count("DownloadError"), 1) << name;
        EXPECT_EQ(net.requests.size(), 1u) << name;
    }
    EXPECT_FALSE(fs::exists(dir.path().parent_path() / "Update.exe"));
}

TEST_F(WebUpdate, TheInformationWindowCanBeSkippedCancelledAndIsReused) {
    net.page(kPage, updatePage("2.1.4"));
    net.page(kFile, "new");
    web.InfoCaption.OkButton = "&OK";
    web.InfoCaption.CancelButton = "&Отмена";

    host.info.answer = false;
    EXPECT_FALSE(web.CheckForAnUpdate());
    EXPECT_EQ(net.requests.size(), 1u);
    EXPECT_EQ(host.info.cancel, "&Отмена");

    host.info.answer = true;
    EXPECT_TRUE(web.CheckForAnUpdate());
    EXPECT_EQ(host.info.created, 1);
    EXPECT_EQ(host.info.shown.size(), 2u);

    web.OnBeforeShowInfo = [](TmxWebUpdate&, bool& showInfo, bool&) { showInfo = false; };
    EXPECT_TRUE(web.CheckForAnUpdate());
    EXPECT_EQ(host.info.shown.size(), 2u);
}

TEST_F(WebUpdate, AbortEndsTheTransferWithoutAnEventAndAChecksDoNotNest) {
    net.page(kPage, updatePage("2.1.4"));
    net.page(kFile, std::string(5000, 'x'));
    bool nested = true;
    web.OnDownload = [&](TmxWebUpdate& sender, std::int64_t, std::int64_t) {
        nested = sender.CheckForAnUpdate();
        if (!sender.FileName().empty()) {
            sender.Abort();
        }
    };
    EXPECT_FALSE(web.CheckForAnUpdate());
    EXPECT_FALSE(nested);
    EXPECT_EQ(count("DownloadError"), 0);
    EXPECT_EQ(count("AfterDownload"), 1);
    EXPECT_FALSE(fs::exists(saved()));
    EXPECT_FALSE(fs::exists(dir / "Update.exe.part"));
    EXPECT_TRUE(host.started.empty());
    EXPECT_FALSE(web.Active());
}

TEST_F(WebUpdate, StartingAndEnding) {
    net.page(kPage, updatePage("2.1.4"));
    net.page(kFile, "new");

    host.startSucceeds = false;
    EXPECT_TRUE(web.CheckForAnUpdate());
    EXPECT_EQ(count("CannotExecute"), 1);
    EXPECT_EQ(host.terminations, 1); // asked to end all the same

    web.Options = {uoTerminate, uoOverwrite};
    EXPECT_TRUE(web.CheckForAnUpdate());
    EXPECT_EQ(host.started.size(), 1u);
    EXPECT_EQ(host.terminations, 1);
}

} // namespace
} // namespace vellarion

// A full backup of a browser that was killed: its lock links point at a
// process that is gone. Such a lock is no data and is left out without a
// word; any other link in the data root is named and left out.
#include "BrowserProfiles.h"
#include "FileTree.h"
#include "JobRecorder.h"
#include "TempDir.h"
#include "core/browsers/DataSet.h"
#include "core/services/ServicesFactory.h"
#include "core/wizards/FullJob.h"

#include <gtest/gtest.h>

namespace vellarion {
namespace {

namespace fs = std::filesystem;

struct SkipRecorder : test::RecordingReporter {
    std::vector<std::string> skipped;
    void fileSkipped(const std::string&, const std::string& reason) override {
        skipped.push_back(reason);
    }
};

TEST(KilledBrowser, ItsLockLinksAreNoDataAndOtherLinksAreNamed) {
    test::TempDir home;
    const fs::path userData = home / ".config" / "chromium";
    test::writeCurrentChromeUserData(userData); // with its SingletonLock left behind
    for (const char* lock : {"SingletonCookie", "SingletonSocket"}) {
        fs::create_symlink("gone-host-99999", userData / lock);
    }
    test::writeFile(home / "secret", "outside the data root");
    fs::create_symlink(home / "secret", userData / "Default" / "stolen");
    fs::create_directories(home / "backups");
    const auto services = makeSystemServices({}, {.home = pathToUtf8(home.path()), .login = "bob"});

    WizardState state;
    SkipRecorder reporter;
    FullJob job(*services, chromiumDataSet(), state, reporter);
    ASSERT_TRUE(job.activate());
    ASSERT_EQ(job.backup(pathToUtf8(home / "backups")), JobOutcome::Done);
    EXPECT_EQ(reporter.skipped,
              std::vector<std::string>{"Symbolic link \"" +
                                       pathToUtf8(userData / "Default" / "stolen") + "\" skipped"});
}

} // namespace
} // namespace vellarion

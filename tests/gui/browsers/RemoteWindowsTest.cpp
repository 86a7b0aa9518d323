// The wizard windows with a backup location on an rclone remote, used as a
// user uses them: the real rclone on a remote of its "local" kind (a folder
// of this machine, named in a configuration of the test's own).
#include "FileTree.h"
#include "WizardWindowFixture.h"
#include "gui/browsers/bFull_Firefox.h"
#include "gui/browsers/b_Firefox.h"
#include "gui/browsers/rFull_Firefox.h"
#include "gui/browsers/r_Firefox.h"
#include "gui/wizards/DirectoryEdit.h"
#include "gui/wizards/EncryptionFields.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

const std::string kMagic("\0\0VellarionCrypt", 16);

class RemoteWindows : public WizardWindowTest {
protected:
    RemoteWindows() {
        writeFile(work / "rclone.conf", "[here]\ntype = local\n");
        ::setenv("RCLONE_CONFIG", (work / "rclone.conf").c_str(), 1);
        fs::create_directories(remote);
    }
    ~RemoteWindows() override { ::unsetenv("RCLONE_CONFIG"); }

    static void next(WizardForm& window, const QString& location) {
        window.JvDirectoryEdit2->setText(location);
        QTest::mouseClick(window.Button2, Qt::LeftButton);
    }

    TempDir work;
    fs::path remote = work / "remote";
    QString where = QString::fromStdString("rclone:here:" + s(remote));

    static std::string s(const fs::path& p) { return p.string(); }
};

TEST_F(RemoteWindows, AFullBackupGoesThereAndComesBack) {
    const auto saved = readTree(firefoxRoot());
    auto* backup = open<Tffb_Firefox>("sB_Firefox");
    ASSERT_NE(backup, nullptr);
    // Plain passwords and cookies: asked first; "No" sends nothing.
    dialogs.queueAnswer(Dialogs::Answer::No);
    next(*backup, where);
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(dialogs.texts().front().contains(where)) << dialogs.texts().front().toStdString();
    EXPECT_TRUE(namesIn(remote).empty());
    EXPECT_TRUE(backup->Button1->isHidden());

    // Encrypted: no question, the archive there, Finish shown.
    dialogs.clear();
    QTest::mouseClick(backup->encryption()->CheckBoxEncrypt, Qt::LeftButton, {}, QPoint(5, 8));
    backup->encryption()->EditPassword->insert(QStringLiteral("pw"));
    backup->encryption()->EditRepeat->insert(QStringLiteral("pw"));
    next(*backup, where);
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();
    EXPECT_TRUE(applicationErrors().texts().isEmpty())
        << applicationErrors().texts().join(u'|').toStdString();
    EXPECT_EQ(namesIn(remote), std::vector<std::string>{"fbackup_firefox.dat"});
    EXPECT_EQ(readFile(remote / "fbackup_firefox.dat").substr(0, 16), kMagic);
    EXPECT_TRUE(backup->Button1->isVisible());

    writeFile(firefoxRoot() / "profiles.ini", "changed");
    auto* restore = open<Tffr_Firefox>("sR_Firefox");
    ASSERT_NE(restore, nullptr);
    dialogs.queuePassword(QStringLiteral("pw"));
    next(*restore, where);
    EXPECT_TRUE(applicationErrors().texts().isEmpty())
        << applicationErrors().texts().join(u'|').toStdString();
    EXPECT_EQ(readTree(firefoxRoot()), saved);
}

TEST_F(RemoteWindows, SelectiveWindowsSendAndListTheRemotesArchives) {
    // The bookmarks of the default profile sent there: nothing secret, no question.
    const fs::path profile = firefoxProfile("abcd1234.default");
    const std::string bookmarks = readFile(profile / "bookmarks.html");
    auto* backup = open<Tfb_Firefox>("B_Firefox");
    ASSERT_NE(backup, nullptr);
    backup->Button6Click();
    backup->checkBox("CheckBox1")->setChecked(true);
    next(*backup, where);
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();
    EXPECT_TRUE(applicationErrors().texts().isEmpty())
        << applicationErrors().texts().join(u'|').toStdString();
    EXPECT_EQ(namesIn(remote), std::vector<std::string>{"default.dat"});

    writeFile(profile / "bookmarks.html", "changed");
    auto* restore = open<Tfr_Firefox>("R_Firefox");
    ASSERT_NE(restore, nullptr);
    // Typing lists nothing; the whole name, once the edit is left, lists
    // the remote's archives.
    restore->JvDirectoryEdit2->setText(where);
    EXPECT_EQ(restore->ListBox2->count(), 0);
    emit restore->JvDirectoryEdit2->lineEdit()->editingFinished();
    EXPECT_EQ(entries(restore->ListBox2), QStringList{QStringLiteral("default.dat")});
    restore->Button6Click();
    restore->checkBox("CheckBox1")->setChecked(true);
    QTest::mouseClick(restore->Button2, Qt::LeftButton);
    EXPECT_TRUE(applicationErrors().texts().isEmpty())
        << applicationErrors().texts().join(u'|').toStdString();
    EXPECT_EQ(readFile(profile / "bookmarks.html"), bookmarks);
    // The remote keeps its archive; the list still shows it.
    EXPECT_EQ(namesIn(remote), std::vector<std::string>{"default.dat"});
    EXPECT_EQ(entries(restore->ListBox2), QStringList{QStringLiteral("default.dat")});
}

TEST_F(RemoteWindows, AnUnknownRemoteIsOneLineInTheErrorBox) {
    auto* backup = open<Tffb_Firefox>("sB_Firefox");
    ASSERT_NE(backup, nullptr);
    dialogs.queueAnswer(Dialogs::Answer::Yes);
    next(*backup, QStringLiteral("rclone:nowhere:x"));
    ASSERT_EQ(dialogs.texts().size(), 2);
    EXPECT_EQ(dialogs.texts().back(),
              QStringLiteral("rclone knows no remote \"nowhere\": make it with \"rclone config\" "
                             "(\"rclone listremotes\" names those it knows)"));
    EXPECT_TRUE(backup->Button1->isHidden());
}

} // namespace
} // namespace vellarion::test

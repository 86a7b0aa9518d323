// The full wizard windows of Firefox and Flock, opened from the main
// window's commands on a sample Windows prefix, used as a user uses them.
#include "FileTree.h"
#include "HeldLock.h"
#include "TempDir.h"
#include "WizardWindowFixture.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/wizards/Messages.h"
#include "gui/browsers/bFull_Firefox.h"
#include "gui/browsers/bFull_Flock.h"
#include "gui/browsers/rFull_Firefox.h"
#include "gui/browsers/rFull_Flock.h"
#include "gui/kit/Controls.h"
#include "gui/kit/Texts.h"
#include "gui/wizards/DirectoryEdit.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

class FullWindow : public WizardWindowTest {
protected:
    explicit FullWindow(SamplePrefixOptions options = {}) : WizardWindowTest(std::move(options)) {}

    // Types the location into the edit and presses Next, as a user does.
    static void typeAndRun(FullWizardForm& window, const QString& location) {
        QLineEdit* edit = window.JvDirectoryEdit2->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, location);
        QTest::mouseClick(window.Button2, Qt::LeftButton);
    }
};

struct Expected {
    const char* command;
    const char* className;
    const char* caption;
    const char* title;
};

TEST_F(FullWindow, TheFourWindowsShowTheirTextsAndStartIdle) {
    const Expected windows[] = {
        {"sB_Firefox", "vellarion::Tffb_Firefox", "Архивация данных Firefox",
         "Мастер полного резервного копирования Firefox"},
        {"sR_Firefox", "vellarion::Tffr_Firefox", "Firefox",
         "Мастер полного восстановления Firefox"},
        {"sB_Flock", "vellarion::Tffb_Flock", "Архивация данных Flock",
         "Мастер полного резервного копирования Flock"},
        {"sR_Flock", "vellarion::Tffr_Flock", "Восстановление данных Flock",
         "Мастер полного восстановления Flock"},
    };
    for (const Expected& expected : windows) {
        SCOPED_TRACE(expected.command);
        auto* window = open<Tffb_Firefox>(expected.command);
        ASSERT_NE(window, nullptr);
        EXPECT_STREQ(window->metaObject()->className(), expected.className);
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8(expected.caption));
        EXPECT_EQ(window->Label1->text(), QString::fromUtf8(expected.title));
        expectNoControlCoversAnother(*window);
        EXPECT_EQ(window->Label18->text(), QStringLiteral("Расположение резервной копии:"));
        EXPECT_EQ(window->Label3->text(), QStringLiteral("Ход работы:"));
        EXPECT_TRUE(window->Label18->font().bold());
        EXPECT_EQ(window->JvDirectoryEdit2->text(),
                  QStringLiteral("Расположение резервной копии:"));
        EXPECT_EQ(window->Button2->text(), QStringLiteral("Вперед >"));
        EXPECT_EQ(window->Button3->text(), QStringLiteral("Отмена"));
        EXPECT_EQ(window->Button1->text(), QStringLiteral("Готово"));
        EXPECT_TRUE(window->Button1->font().bold());
        EXPECT_TRUE(window->Button1->isHidden());
        EXPECT_EQ(window->Button1->geometry(), window->Button2->geometry());
        EXPECT_EQ(window->ProgressBar1->value(), 0);
        EXPECT_EQ(window->lblFilename->text(), QString());
        EXPECT_EQ(window->size(), QSize(599, 531));
        EXPECT_TRUE(window->Image1->isValid() && window->Image5->isValid() &&
                    window->Image6->isValid());
        EXPECT_EQ(window->Image6->size(), QSize(48, 48));
        // Large navy title on a white window.
        EXPECT_GT(window->Label1->font().pointSize(), window->font().pointSize());
        EXPECT_EQ(window->Label1->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        const QImage picture = window->grab().toImage();
        EXPECT_EQ(picture.pixelColor(300, 200), QColor(Qt::white));
    }
    // Each command opened a window of its own; the data roots were found.
    EXPECT_EQ(form->documents()->subWindowList().size(), 4);
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();
}

TEST_F(FullWindow, BackUpAndRestoreThroughTheWindows) {
    const auto saved = readTree(firefoxRoot());
    auto* backup = open<Tffb_Firefox>("sB_Firefox");
    ASSERT_NE(backup, nullptr);
    typeAndRun(*backup, qs(pathToUtf8(backups)));
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();
    EXPECT_TRUE(fs::is_regular_file(backups / "fbackup_firefox.dat"));
    EXPECT_EQ(backup->lblFilename->text(), QStringLiteral("Finished"));
    EXPECT_EQ(backup->ProgressBar1->value(), 0);
    EXPECT_TRUE(backup->Button1->isVisible());
    // Beside Finish: where the archive was written.
    ASSERT_NE(backup->LabelResult, nullptr);
    EXPECT_TRUE(backup->LabelResult->isVisible());
    EXPECT_EQ(backup->LabelResult->toolTip(),
              qs("Архив записан: " + pathToUtf8(backups / "fbackup_firefox.dat")));
    // Under the buttons, inside the window.
    EXPECT_GT(backup->LabelResult->geometry().top(), backup->Button1->geometry().bottom());
    EXPECT_LE(backup->LabelResult->geometry().bottom(), backup->height());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(backup->state().backups, pathToUtf8(backups));

    // The profile changes; the restore window, given the location through
    // the folder browser, puts the saved files back and keeps the new one.
    writeFile(firefoxRoot() / "profiles.ini", "changed");
    writeFile(firefoxRoot() / "installs.ini", "new");
    auto* restore = open<Tffr_Firefox>("sR_Firefox");
    ASSERT_NE(restore, nullptr);
    dialogs.queueFolder(qs(pathToUtf8(backups)));
    restore->JvDirectoryEdit2->browseButton()->click();
    QTest::mouseClick(restore->Button2, Qt::LeftButton);
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();
    auto expected = saved;
    expected["installs.ini"] = "new";
    EXPECT_EQ(readTree(firefoxRoot()), expected);
    EXPECT_EQ(restore->lblFilename->text(), QStringLiteral("Finished"));
    EXPECT_TRUE(restore->Button1->isVisible());
    // And where the data went.
    ASSERT_NE(restore->LabelResult, nullptr);
    EXPECT_TRUE(restore->LabelResult->isVisible());
    EXPECT_EQ(restore->LabelResult->toolTip(),
              qs("Данные восстановлены в: " + pathToUtf8(firefoxRoot())));
    EXPECT_TRUE(applicationErrors().texts().isEmpty());

    // Finish and Cancel end the program.
    QTest::mouseClick(restore->Button1, Qt::LeftButton);
    QTest::mouseClick(backup->Button3, Qt::LeftButton);
    EXPECT_EQ(terminated, 2);
}

TEST_F(FullWindow, ARunningFirefoxIsBackedUpAndTheWindowSaysSo) {
    HeldLock running(firefoxProfile("abcd1234.default") / "parent.lock");
    auto* backup = open<Tffb_Firefox>("sB_Firefox");
    ASSERT_NE(backup, nullptr);
    typeAndRun(*backup, qs(pathToUtf8(backups)));
    const QStringList said = dialogs.texts();
    ASSERT_EQ(said.size(), 2) << said.join(u'|').toStdString();
    EXPECT_EQ(said[0], shownText(backupWhileRunning("Firefox")));
    // The sample's databases are no databases SQLite opens: each is named
    // in one box at the end, and the rest is in the archive.
    EXPECT_TRUE(said[1].contains(QStringLiteral("places.sqlite"))) << said[1].toStdString();
    EXPECT_TRUE(fs::is_regular_file(backups / "fbackup_firefox.dat"));
    EXPECT_TRUE(storedNames(backups / "fbackup_firefox.dat")
                    .contains("Profiles\\abcd1234.default\\prefs.js"));
    EXPECT_TRUE(backup->Button1->isVisible());

    // A restore into the running browser's profile is still refused.
    auto* restore = open<Tffr_Firefox>("sR_Firefox");
    ASSERT_NE(restore, nullptr);
    typeAndRun(*restore, qs(pathToUtf8(backups)));
    EXPECT_EQ(dialogs.texts().back(), shownText(closeBrowserFirst("Firefox")));
    EXPECT_FALSE(restore->Button1->isVisible());
}

TEST_F(FullWindow, ARestoreGoesIntoAnotherFolderWhenOneIsGivenAndBackWhenItIsCleared) {
    const auto saved = readTree(firefoxRoot());
    typeAndRun(*open<Tffb_Firefox>("sB_Firefox"), qs(pathToUtf8(backups)));
    ASSERT_TRUE(fs::is_regular_file(backups / "fbackup_firefox.dat"));
    writeFile(firefoxRoot() / "profiles.ini", "changed");

    auto* restore = open<Tffr_Firefox>("sR_Firefox");
    ASSERT_NE(restore->IntoEdit, nullptr);
    expectNoControlCoversAnother(*restore);
    EXPECT_EQ(restore->IntoEdit->text(),
              QStringLiteral("Восстановить в другую папку (необязательно):"));
    const fs::path elsewhere = backups.parent_path() / "elsewhere" / "Firefox";
    dialogs.queueFolder(qs(pathToUtf8(elsewhere)));
    restore->IntoEdit->browseButton()->click();
    typeAndRun(*restore, qs(pathToUtf8(backups)));
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(readTree(elsewhere), saved);
    EXPECT_EQ(readFile(firefoxRoot() / "profiles.ini"), "changed");

    // Cleared again: the data folder found is where it goes.
    restore->IntoEdit->setText(QString());
    QTest::mouseClick(restore->Button2, Qt::LeftButton);
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(readTree(firefoxRoot()), saved);
    // A browser whose data folder has no place of its own offers none.
    EXPECT_EQ(open<Tffr_Flock>("sR_Flock")->IntoEdit, nullptr);
}

TEST_F(FullWindow, TheRestoreWindowTakesTheNewestKeptVersion) {
    // Two versions as --keep names them, the newer written first.
    const fs::path ini = firefoxRoot() / "profiles.ini";
    for (const char* stamp : {"2026-12-10 100000", "2026-12-09 100000"}) {
        writeFile(ini, stamp);
        auto* backup = open<Tffb_Firefox>("sB_Firefox");
        ASSERT_NE(backup, nullptr);
        typeAndRun(*backup, qs(pathToUtf8(backups)));
        fs::rename(backups / "fbackup_firefox.dat",
                   backups / ("fbackup_firefox " + std::string(stamp) + ".dat"));
    }
    writeFile(ini, "changed");
    auto* restore = open<Tffr_Firefox>("sR_Firefox");
    ASSERT_NE(restore, nullptr);
    typeAndRun(*restore, qs(pathToUtf8(backups)));
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(readFile(ini), "2026-12-10 100000");
}

TEST_F(FullWindow, NextRefusesAnUntouchedLocationAndAMissingArchive) {
    auto* backup = open<Tffb_Flock>("sB_Flock");
    ASSERT_NE(backup, nullptr);
    QTest::mouseClick(backup->Button2, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Please Select Backup Location")});
    EXPECT_EQ(dialogs.shown().back().icon, Dialogs::Icon::None);

    auto* restore = open<Tffr_Flock>("sR_Flock");
    ASSERT_NE(restore, nullptr);
    dialogs.clear();
    typeAndRun(*restore, qs(pathToUtf8(backups)));
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("Backup File \"fbackup_flock.dat\" Not Found")});
    EXPECT_TRUE(restore->Button1->isHidden());
    EXPECT_EQ(restore->lblFilename->text(), QString());
    EXPECT_TRUE(readTree(backups).empty());
}

TEST_F(FullWindow, ASecondJobRunsAfterTheWindowIsActivatedAgain) {
    auto* window = open<Tffb_Firefox>("sB_Firefox");
    ASSERT_NE(window, nullptr);
    typeAndRun(*window, qs(pathToUtf8(backups)));
    ASSERT_TRUE(window->Button1->isVisible());

    // Another window comes to the front, then this one again: the activation
    // hides Finish and searches again.
    open<Tffr_Flock>("sR_Flock");
    window->state().ffpath.clear();
    activateDocument(*window);
    EXPECT_TRUE(window->Button1->isHidden());
    EXPECT_TRUE(window->LabelResult->isHidden()); // the last job's result with it
    EXPECT_EQ(window->state().ffpath, fx.sample().roaming + "\\Mozilla\\Firefox");

    writeFile(firefoxRoot() / "profiles.ini", "second");
    QTest::mouseClick(window->Button2, Qt::LeftButton);
    EXPECT_TRUE(window->Button1->isVisible());
    EXPECT_EQ(window->lblFilename->text(), QStringLiteral("Finished"));
    TempDir out;
    TJvZlibMultiple().DecompressFile(pathToUtf8(backups / "fbackup_firefox.dat"),
                                     pathToUtf8(out.path()), true, true);
    EXPECT_EQ(readFile(out / "profiles.ini"), "second");
    // The first archive was replaced only once the user said yes.
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral(
                  "Файл резервной копии \"fbackup_firefox.dat\" уже существует. Заменить его?")});
}

TEST_F(FullWindow, AnErrorReachesTheErrorBoxAndADamagedArchiveIsRefusedUntouched) {
    // The backup folder cannot be made, a file stands in its way: the
    // error, in the standard box.
    auto* backup = open<Tffb_Firefox>("sB_Firefox");
    ASSERT_NE(backup, nullptr);
    writeFile(backups / "in the way", "a file");
    typeAndRun(*backup, qs(pathToUtf8(backups / "in the way" / "backups")));
    // Caught where Next is connected, not by the application's net.
    EXPECT_TRUE(applicationErrors().shown().empty());
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown().front().icon, Dialogs::Icon::Error);
    EXPECT_EQ(dialogs.shown().front().title, QStringLiteral("Vellarion"));
    EXPECT_EQ(dialogs.shown().front().text,
              qs("Cannot create folder \"" + pathToUtf8(backups / "in the way") + "\""));
    EXPECT_TRUE(backup->Button1->isHidden());
    // The folder was to be made before the first file: none was packed.
    EXPECT_TRUE(backup->lblFilename->text().isEmpty());
    EXPECT_EQ(backup->ProgressBar1->value(), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // An archive cut short is read whole before the first write: refused,
    // the data root as it was.
    dialogs.clear();
    typeAndRun(*backup, qs(pathToUtf8(backups)));
    const fs::path archive = backups / "fbackup_firefox.dat";
    const std::string whole = readFile(archive);
    writeFile(archive, whole.substr(0, whole.size() / 2));
    const auto before = readTree(firefoxRoot());
    auto* restore = open<Tffr_Firefox>("sR_Firefox");
    ASSERT_NE(restore, nullptr);
    typeAndRun(*restore, qs(pathToUtf8(backups)));
    EXPECT_EQ(dialogs.texts(),
              QStringList{qs(backupFileDamaged("fbackup_firefox.dat", "Stream read error"))});
    EXPECT_TRUE(readTree(firefoxRoot()) == before);
    EXPECT_TRUE(restore->Button1->isHidden());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(FullWindow, ClosingFreesTheWindow) {
    QPointer<Tffb_Firefox> window = open<Tffb_Firefox>("sB_Firefox");
    ASSERT_FALSE(window.isNull());
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(form->documents()->subWindowList().isEmpty());
}

class FullWindowWithoutFirefox : public FullWindow {
protected:
    FullWindowWithoutFirefox() : FullWindow({.browsers = {Browser::Chrome}}) {}
};

TEST_F(FullWindowWithoutFirefox, SaysSoAtActivationAndAgainAtNextAndWritesNothing) {
    auto* window = open<Tffb_Firefox>("sB_Firefox");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Не найден файл параметров")});

    // The main window losing the focus and getting it back is no activation:
    // the message is not shown again.
    QWidget elsewhere;
    activate(elsewhere);
    activate(*form);
    EXPECT_EQ(dialogs.texts().size(), 1);

    typeAndRun(*window, qs(pathToUtf8(backups)));
    EXPECT_EQ(dialogs.texts(), QStringList({QStringLiteral("Не найден файл параметров"),
                                            QStringLiteral("Не найден файл параметров")}));
    EXPECT_TRUE(window->Button1->isHidden());
    EXPECT_TRUE(readTree(backups).empty());
}

TEST_F(FullWindowWithoutFirefox, ARestoreOffersThePlaceFirefoxWouldUseAndMakesIt) {
    // A Firefox data folder of another machine, packed.
    TempDir old;
    writeFile(old / "profiles.ini", "[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                                    "Path=Profiles/abcd1234.default\r\nDefault=1\r\n");
    writeFile(old / "Profiles" / "abcd1234.default" / "prefs.js", "user_pref(\"a\", 1);\r\n");
    TJvZlibMultiple().CompressDirectory(pathToUtf8(old.path()), true,
                                        pathToUtf8(backups / "fbackup_firefox.dat"));

    auto* window = open<Tffr_Firefox>("sR_Firefox");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();

    const QString question = qs(restoreIntoNewRootQuestion("Firefox", pathToUtf8(firefoxRoot())));
    dialogs.queueAnswer(Dialogs::Answer::No);
    typeAndRun(*window, qs(pathToUtf8(backups)));
    EXPECT_EQ(dialogs.texts(), QStringList{question});
    EXPECT_FALSE(fs::exists(firefoxRoot()));

    dialogs.clear();
    QTest::mouseClick(window->Button2, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(), QStringList{question});
    EXPECT_EQ(readTree(firefoxRoot()), readTree(old.path()));
    EXPECT_EQ(window->lblFilename->text(), QStringLiteral("Finished"));
}

} // namespace
} // namespace vellarion::test

// The selective windows of Firefox and Flock as the user meets them: opened
// by their commands inside the main window, filled at activation, running a
// job from Next, and what they show afterwards.
#include "FileTree.h"
#include "WizardWindowFixture.h"
#include "core/services/ServicesFactory.h"
#include "core/wizards/Messages.h"
#include "gui/browsers/b_Firefox.h"
#include "gui/browsers/b_Flock.h"
#include "gui/browsers/r_Firefox.h"
#include "gui/browsers/r_Flock.h"
#include "gui/wizards/DirectoryEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <set>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

QString u(const char16_t* text) {
    return QString::fromUtf16(text);
}

QString q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

using SelectiveWindows = WizardWindowTest;

TEST_F(SelectiveWindows, BackupCommandsOpenTheirWindowsFilledFromTheProfiles) {
    auto* firefox = open<Tfb_Firefox>("B_Firefox");
    ASSERT_NE(firefox, nullptr);
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("Vellarion 2.1.2 — the Windows prefix ") + native(fx.sample().prefix));
    EXPECT_EQ(firefox->windowTitle(), u(u"Архивация данных Firefox"));
    EXPECT_EQ(firefox->Label1->text(), u(u"Мастер резервного копирования Firefox"));
    EXPECT_EQ(firefox->Label18->text(), u(u"Архивирует следующее:"));
    EXPECT_EQ(firefox->Label3->text(), u(u"Профиль:"));
    EXPECT_EQ(firefox->JvDirectoryEdit2->text(), u(u"Расположение резервной копии:"));
    EXPECT_EQ(firefox->JvDirectoryEdit1->text(),
              QStringLiteral("Custom profile location (optional):"));
    EXPECT_EQ(entries(firefox->ListBox1),
              (QStringList{QStringLiteral("abcd1234.default"), QStringLiteral("wxyz9876.work")}));
    EXPECT_EQ(firefox->ListBox1->currentRow(), 0);
    EXPECT_TRUE(firefox->Button2->hasFocus());
    EXPECT_FALSE(firefox->Button1->isVisible());
    EXPECT_EQ(firefox->Button1->geometry(), firefox->Button2->geometry());
    EXPECT_EQ(firefox->palette().color(QPalette::Window), QColor(242, 242, 242));
    EXPECT_EQ(firefox->ListBox2, nullptr);

    auto* flock = open<Tfb_Flock>("B_Flock");
    ASSERT_NE(flock, nullptr);
    EXPECT_EQ(flock->windowTitle(), u(u"Архивация данных Flock"));
    EXPECT_EQ(flock->Label1->text(), u(u"Мастер резервного копирования Flock"));
    EXPECT_EQ(entries(flock->ListBox1),
              (QStringList{QStringLiteral("flck1234.default"), QStringLiteral("qrst5678.second")}));
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(SelectiveWindows, EveryItemBoxStartsTickedShowsItsWholeCaptionAndCoversNoOther) {
    auto* firefox = open<Tfb_Firefox>("B_Firefox");
    auto* flock = open<Tfb_Flock>("B_Flock");
    for (SelectiveWizardForm* window :
         {static_cast<SelectiveWizardForm*>(firefox), static_cast<SelectiveWizardForm*>(flock)}) {
        for (QCheckBox* box : window->itemBoxes()) {
            EXPECT_TRUE(box->isChecked()) << box->objectName().toStdString();
            EXPECT_TRUE(box->isEnabled());
        }
        expectNoControlCoversAnother(*window);
    }
    expectNoControlCoversAnother(*open<Tfr_Firefox>("R_Firefox"));
    expectNoControlCoversAnother(*open<Tfr_Flock>("R_Flock"));
    EXPECT_EQ(firefox->itemBoxes().size(), 16u);
    EXPECT_EQ(firefox->checkBox("CheckBox4")->text(), u(u"Расширения"));
    EXPECT_EQ(firefox->checkBox("CheckBox18")->text(), u(u"Темы и оформление"));
    EXPECT_EQ(flock->itemBoxes().size(), 17u);
    EXPECT_EQ(flock->checkBox("CheckBox18"), nullptr);
    EXPECT_EQ(flock->checkBox("CheckBox16")->text(), u(u"Особые данные"));
    EXPECT_EQ(flock->checkBox("CheckBox17")->text(), u(u"Поток данных"));
}

// A browser whose table runs to seven rows: the controls below the boxes
// move down with the grid, in both windows.
class SevenRowWindow : public SelectiveWizardForm {
public:
    SevenRowWindow(ShellContext& context, const BrowserDataSet& data, Direction direction)
        : SelectiveWizardForm(context, data, direction, nullptr) {}
};

TEST_F(SelectiveWindows, ASevenRowTableCoversNoControlBelowIt) {
    BrowserDataSet data = firefoxDataSet();
    for (SelectiveItem& item : data.selective.items) {
        if (item.place.column == 1) {
            ++item.place.row; // the first column now runs to row 7
        }
    }
    for (Direction direction : {Direction::Backup, Direction::Restore}) {
        SevenRowWindow window(sampleContext, data, direction);
        const QCheckBox* lowest = window.checkBox("CheckBox6");
        ASSERT_EQ(lowest->y(), 109 + 23 * 6);
        EXPECT_GT(window.Button4->y(), lowest->geometry().bottom());
        expectNoControlCoversAnother(window);
    }
}

TEST_F(SelectiveWindows, RestoreWindowsListTheArchivesOfTheLocationAsItIsTyped) {
    writeFile(backups / "default.dat", "archive");
    writeFile(backups / "work.dat", "archive");
    writeFile(backups / "notes.txt", "not an archive");

    auto* firefox = open<Tfr_Firefox>("R_Firefox");
    ASSERT_NE(firefox, nullptr);
    EXPECT_EQ(firefox->windowTitle(), u(u"Восстановление данных Firefox"));
    EXPECT_EQ(firefox->Label1->text(), u(u"Добро пожаловать в мастер восстановления Firefox"));
    EXPECT_EQ(firefox->Label18->text(), u(u"Восстанавливает:"));
    EXPECT_EQ(firefox->Label3->text(), u(u"Файл резервной копии:"));
    EXPECT_EQ(firefox->Label4->text(), u(u"Восстановление следующих профилей:"));
    EXPECT_EQ(firefox->CheckBox17->text(), u(u"Удаление файла резервной копии после завершения"));
    EXPECT_FALSE(firefox->CheckBox17->isChecked());
    EXPECT_LT(firefox->ListBox2->x(), firefox->ListBox1->x());

    // Every keystroke lists anew: a partial path lists nothing.
    const QString location = native(backups);
    firefox->JvDirectoryEdit2->lineEdit()->clear();
    QTest::keyClicks(firefox->JvDirectoryEdit2->lineEdit(), location.left(location.size() - 1));
    EXPECT_EQ(firefox->ListBox2->count(), 0);
    QTest::keyClicks(firefox->JvDirectoryEdit2->lineEdit(), location.right(1));
    EXPECT_EQ(entries(firefox->ListBox2),
              (QStringList{QStringLiteral("default.dat"), QStringLiteral("work.dat")}));
    EXPECT_EQ(firefox->ListBox2->currentRow(), 0);

    auto* flock = open<Tfr_Flock>("R_Flock");
    ASSERT_NE(flock, nullptr);
    EXPECT_EQ(flock->Label1->text(), u(u"Мастер восстановления Flock"));
    EXPECT_EQ(flock->Label3->text(), u(u"Профиль:"));
    EXPECT_EQ(flock->Label4->text(), u(u"Восстановление следующих профилей:"));
    // Flock's own "CheckBox17" is an item; there is no box to delete the archive.
    EXPECT_EQ(flock->checkBox("CheckBox17")->text(), u(u"Поток данных"));
    EXPECT_EQ(flock->findChildren<QCheckBox*>().size(), 17);
}

TEST_F(SelectiveWindows, BothListsDrawEachEntryAsARadioButtonFilledForTheSelectedOne) {
    auto* window = open<Tfb_Firefox>("B_Firefox");
    ASSERT_EQ(window->ListBox1->count(), 2);
    const auto draw = [window](QStyle::State state) {
        QImage image(200, 20, QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter painter(&image);
        window->ListBox1DrawItem(window->ListBox1, 0, QRect(0, 0, 200, 20), state, painter);
        return image;
    };
    const QImage selected = draw(QStyle::State_Selected | QStyle::State_Enabled);
    const QImage plain = draw(QStyle::State_Enabled);
    const auto glyph = [](const QImage& image) { return image.copy(1, 0, 12, 20); };
    const auto text = [](const QImage& image) { return image.copy(15, 0, 185, 20); };
    // The whole entry is white first; the glyph shows which entry is chosen;
    // the text is black in both.
    EXPECT_EQ(plain.pixelColor(199, 19), QColor(Qt::white));
    EXPECT_NE(glyph(selected), glyph(plain));
    EXPECT_EQ(text(selected), text(plain));
    int darkest = 255;
    for (int x = 15; x < 120; ++x) {
        for (int y = 3; y < 20; ++y) {
            darkest = std::min(darkest, qGray(plain.pixel(x, y)));
        }
    }
    EXPECT_LT(darkest, 60);
    EXPECT_EQ(window->ListBox1->visualItemRect(window->ListBox1->item(0)).height(), 20);
}

TEST_F(SelectiveWindows, EachActivationAppendsTheProfilesAgain) {
    auto* firefox = open<Tfb_Firefox>("B_Firefox");
    open<Tfb_Flock>("B_Flock");
    activateDocument(*firefox);
    EXPECT_EQ(entries(firefox->ListBox1),
              (QStringList{QStringLiteral("abcd1234.default"), QStringLiteral("wxyz9876.work"),
                           QStringLiteral("abcd1234.default"), QStringLiteral("wxyz9876.work")}));
    // The main window coming back to the front is no new activation.
    QWidget other;
    activate(other);
    activate(*form);
    EXPECT_EQ(firefox->ListBox1->count(), 4);
}

TEST_F(SelectiveWindows, WithoutTheBrowserTheWindowSaysToChooseACustomProfile) {
    form = std::make_unique<TForm1>(context); // no Windows prefix at all
    activate(*form);
    auto* window = open<Tfb_Firefox>("B_Firefox");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(dialogs.texts(),
              QStringList{u(u"Файл параметров не найден. Выберите пользовательский профиль.")});
    EXPECT_EQ(window->ListBox1->count(), 0);

    // Next without a profile or a custom location: a message, no job.
    window->JvDirectoryEdit2->setText(native(backups));
    dialogs.clear();
    window->Button2Click();
    EXPECT_EQ(dialogs.texts(), QStringList{q(kSelectProfile)});
    EXPECT_FALSE(progress.isVisible());
    EXPECT_FALSE(window->Button1->isVisible());
    EXPECT_TRUE(fs::is_empty(backups));
}

TEST_F(SelectiveWindows, NextWithTheLocationUntouchedAsksForIt) {
    auto* window = open<Tfb_Firefox>("B_Firefox");
    window->Button2Click();
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Please Select Backup Location")});
    EXPECT_FALSE(progress.isVisible());
    EXPECT_FALSE(window->Button1->isVisible());
    EXPECT_EQ(window->ListBox1->count(), 2);
}

TEST_F(SelectiveWindows, ABackupFromTheWindowPacksTheTickedItemsAndShowsFinish) {
    fs::remove(firefoxProfile("abcd1234.default") / "persdict.dat");
    auto* window = open<Tfb_Firefox>("B_Firefox");
    window->Button6Click();
    window->checkBox("CheckBox1")->setChecked(true);
    window->checkBox("CheckBox13")->setChecked(true); // no dictionary in this profile
    window->JvDirectoryEdit2->setText(native(backups));
    QTest::mouseClick(window->Button2, Qt::LeftButton);

    EXPECT_TRUE(applicationErrors().shown().empty());
    EXPECT_EQ(dialogs.texts(),
              QStringList{u(u"Для следующих пунктов не найдено данных, они не сохранены: "
                            u"Орфографические словари.")});
    EXPECT_EQ(storedNames(backups / "default.dat"),
              (std::set<std::string>{"bookmarks.html", "places.sqlite"}));
    EXPECT_FALSE(fs::exists(backups / "default"));
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(progress.position(), 100);
    EXPECT_TRUE(window->Button1->isVisible());
    EXPECT_EQ(window->Label1->text(), QString());
    EXPECT_EQ(window->ListBox1->count(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Finish ends the program.
    QTest::mouseClick(window->Button1, Qt::LeftButton);
    EXPECT_EQ(terminated, 1);
}

TEST_F(SelectiveWindows, ABackupIntoAFolderNotMadeYetMakesItFirst) {
    auto* window = open<Tfb_Firefox>("B_Firefox");
    window->JvDirectoryEdit2->setText(native(backups / "new" / "deeper"));
    QTest::mouseClick(window->Button2, Qt::LeftButton);

    EXPECT_TRUE(applicationErrors().shown().empty());
    EXPECT_TRUE(storedNames(backups / "new" / "deeper" / "default.dat").count("prefs.js"));
    EXPECT_TRUE(window->Button1->isVisible());
    // Beside Finish: where the archive was written.
    ASSERT_NE(window->LabelResult, nullptr);
    EXPECT_TRUE(window->LabelResult->isVisible());
    EXPECT_EQ(window->LabelResult->toolTip(),
              u(u"Архив записан: ") +
                  QString::fromStdString(pathToUtf8(backups / "new" / "deeper" / "default.dat")));
    EXPECT_GT(window->LabelResult->geometry().top(), window->Button1->geometry().bottom());
    EXPECT_LE(window->LabelResult->geometry().bottom(), window->height());
}

TEST_F(SelectiveWindows, AnExistingArchiveIsReplacedOnlyAfterTheUserSaysYes) {
    writeFile(backups / "default.dat", "another profile's archive");
    auto* window = open<Tfb_Firefox>("B_Firefox");
    window->JvDirectoryEdit2->setText(native(backups));
    dialogs.queueAnswer(Dialogs::Answer::No);
    QTest::mouseClick(window->Button2, Qt::LeftButton);

    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown().front().text,
              u(u"Файл резервной копии \"default.dat\" уже существует. Заменить его?"));
    EXPECT_EQ(dialogs.shown().front().buttons, Dialogs::Buttons::YesNo);
    // No: everything as it was, nothing ran.
    EXPECT_EQ(readFile(backups / "default.dat"), "another profile's archive");
    EXPECT_FALSE(progress.isVisible());
    EXPECT_FALSE(window->Button1->isVisible());
    EXPECT_EQ(window->ListBox1->count(), 2) << "the profiles are still offered";

    QTest::mouseClick(window->Button2, Qt::LeftButton); // answered Yes
    EXPECT_TRUE(window->Button1->isVisible());
    EXPECT_TRUE(storedNames(backups / "default.dat").count("prefs.js"));
}

TEST_F(SelectiveWindows, SelectAllAndClearAllSetEveryItemBoxAndLeaveTheListsAlone) {
    auto* window = open<Tfr_Firefox>("R_Firefox");
    writeFile(backups / "default.dat", "archive");
    window->JvDirectoryEdit2->setText(native(backups));
    QTest::mouseClick(window->Button6, Qt::LeftButton);
    for (QCheckBox* box : window->itemBoxes()) {
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    }
    EXPECT_FALSE(window->CheckBox17->isChecked());
    window->CheckBox17->setChecked(true);
    QTest::mouseClick(window->Button4, Qt::LeftButton);
    for (QCheckBox* box : window->itemBoxes()) {
        EXPECT_TRUE(box->isChecked()) << box->objectName().toStdString();
    }
    QTest::mouseClick(window->Button6, Qt::LeftButton);
    // The delete box is no item.
    EXPECT_TRUE(window->CheckBox17->isChecked());
    EXPECT_EQ(window->ListBox1->count(), 2);
    EXPECT_EQ(window->ListBox2->count(), 1);
}

TEST_F(SelectiveWindows, TheCustomLocationDisablesTheProfileListForTheRestOfTheWindowsLife) {
    auto* window = open<Tfb_Firefox>("B_Firefox");
    window->JvDirectoryEdit1->setText(native(firefoxProfile("wxyz9876.work")));
    EXPECT_FALSE(window->ListBox1->isEnabled());
    EXPECT_EQ(window->ListBox1->count(), 0);

    open<Tfb_Flock>("B_Flock");
    activateDocument(*window);
    EXPECT_EQ(window->ListBox1->count(), 2);
    EXPECT_FALSE(window->ListBox1->isEnabled());

    window->JvDirectoryEdit2->setText(native(backups));
    window->Button2Click();
    EXPECT_TRUE(fs::exists(backups / "ff_custom.dat"));
    EXPECT_TRUE(window->Button1->isVisible());
}

TEST_F(SelectiveWindows, ClickingAnEntryMovesTheFocusToNext) {
    auto* window = open<Tfr_Firefox>("R_Firefox");
    writeFile(backups / "default.dat", "archive");
    window->JvDirectoryEdit2->setText(native(backups));
    for (QListWidget* list : {window->ListBox1, window->ListBox2}) {
        list->setFocus();
        const QRect entry = list->visualItemRect(list->item(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
        EXPECT_TRUE(window->Button2->hasFocus()) << list->objectName().toStdString();
    }
}

TEST_F(SelectiveWindows, ARestoreIntoTheChosenProfileCanDeleteItsArchive) {
    auto* backup = open<Tfb_Firefox>("B_Firefox");
    backup->JvDirectoryEdit2->setText(native(backups));
    backup->Button2Click();
    ASSERT_TRUE(fs::exists(backups / "default.dat"));

    auto* restore = open<Tfr_Firefox>("R_Firefox");
    restore->JvDirectoryEdit2->setText(native(backups));
    restore->ListBox1->setCurrentRow(1); // wxyz9876.work
    restore->CheckBox17->setChecked(true);
    QTest::mouseClick(restore->Button2, Qt::LeftButton);

    EXPECT_TRUE(applicationErrors().shown().empty());
    EXPECT_EQ(readFile(firefoxProfile("wxyz9876.work") / "key3.db"),
              readFile(firefoxProfile("abcd1234.default") / "key3.db"));
    EXPECT_TRUE(fs::is_empty(backups));
    EXPECT_TRUE(restore->Button1->isVisible());
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(restore->ListBox1->count(), 0);
    EXPECT_EQ(restore->Label1->text(), u(u"Добро пожаловать в мастер восстановления Firefox"));
    // The deleted archive is no longer offered: Next asks for one, no error.
    EXPECT_EQ(restore->ListBox2->count(), 0);
    restore->JvDirectoryEdit1->setText(native(firefoxProfile("wxyz9876.work")));
    dialogs.clear();
    restore->Button2Click();
    EXPECT_TRUE(applicationErrors().shown().empty());
    EXPECT_EQ(dialogs.texts(), QStringList{q(kSelectBackupFile)});
    EXPECT_FALSE(progress.isVisible());
}

TEST_F(SelectiveWindows, AfterARestoreTheArchiveListShowsTheDiskAndKeepsTheChoice) {
    auto* backup = open<Tfb_Firefox>("B_Firefox");
    backup->JvDirectoryEdit2->setText(native(backups));
    backup->Button2Click();
    writeFile(backups / "another.dat", "not restored");
    auto* restore = open<Tfr_Firefox>("R_Firefox");
    restore->JvDirectoryEdit2->setText(native(backups));
    ASSERT_EQ(restore->ListBox2->count(), 2);
    restore->ListBox2->setCurrentRow(1); // default.dat
    writeFile(backups / "newer.dat", "written meanwhile");
    restore->Button2Click();

    EXPECT_TRUE(applicationErrors().shown().empty());
    ASSERT_EQ(restore->ListBox2->count(), 3);
    EXPECT_EQ(restore->ListBox2->currentItem()->text(), QStringLiteral("default.dat"));
}

TEST_F(SelectiveWindows, AFailedRestoreReachesTheErrorBoxAndTakesTheProgressAway) {
    writeFile(backups / "broken.dat", std::string("\x05\x00\x00\x00garbage", 11));
    auto* restore = open<Tfr_Firefox>("R_Firefox");
    restore->JvDirectoryEdit2->setText(native(backups));
    restore->CheckBox17->setChecked(true);
    QTest::mouseClick(restore->Button2, Qt::LeftButton);

    EXPECT_TRUE(applicationErrors().shown().empty());
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown().front().icon, Dialogs::Icon::Error);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(progress.position(), 0);
    EXPECT_FALSE(restore->Button1->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(fs::exists(backups / "broken.dat"));
    EXPECT_EQ(restore->ListBox2->count(), 1);
}

TEST_F(SelectiveWindows, CancelEndsTheProgramAndClosingFreesTheWindow) {
    auto* window = open<Tfb_Flock>("B_Flock");
    QTest::mouseClick(window->Button3, Qt::LeftButton);
    EXPECT_EQ(terminated, 1);

    QPointer<SelectiveWizardForm> alive = window;
    window->close();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_TRUE(form->documents()->subWindowList().isEmpty());
}

// The Firefox of this machine itself: its restore window offers to make the
// custom location one of Firefox's profiles, and does so.
TEST_F(SelectiveWindows, NativelyARestoreIntoACustomFolderCanBecomeAFirefoxProfile) {
    TempDir home;
    const fs::path root = home / ".mozilla" / "firefox";
    writeFile(root / "k3x9ab12.default-release" / "prefs.js", "user_pref(\"a\", 1);\n");
    writeFile(root / "profiles.ini",
              "[Profile0]\nName=default\nIsRelative=1\nPath=k3x9ab12.default-release\n");
    const auto machine = makeSystemServices({}, {.home = pathToUtf8(home.path())});
    ShellContext here(dialogs, progress, *machine, settingsPath(), [this] { ++terminated; });
    TForm1 main(here);
    EXPECT_EQ(main.windowTitle(),
              QStringLiteral("Vellarion 2.1.2 — this machine's own browsers (home ") +
                  native(home.path()) + QLatin1Char(')'));

    auto backup = std::make_unique<Tfb_Firefox>(here);
    backup->show();
    // Shown by its name in profiles.ini, with its folder.
    ASSERT_EQ(entries(backup->ListBox1),
              QStringList{QStringLiteral("default (k3x9ab12.default-release)")});
    backup->JvDirectoryEdit2->setText(native(backups));
    QTest::mouseClick(backup->Button2, Qt::LeftButton);
    ASSERT_TRUE(fs::exists(backups / "default-release.dat"));

    Tfr_Firefox restore(here);
    restore.show();
    ASSERT_NE(restore.CheckBox19, nullptr);
    EXPECT_EQ(restore.CheckBox19->text(), QStringLiteral("Добавить папку в профили Firefox"));
    EXPECT_FALSE(restore.CheckBox19->isChecked());
    expectNoControlCoversAnother(restore);
    restore.JvDirectoryEdit2->setText(native(backups));
    restore.JvDirectoryEdit1->setText(native(home / "copy"));
    restore.CheckBox19->setChecked(true);
    QTest::mouseClick(restore.Button2, Qt::LeftButton);
    EXPECT_TRUE(restore.Button1->isVisible());
    EXPECT_NE(readFile(root / "profiles.ini").find("Path=" + pathToUtf8(home / "copy")),
              std::string::npos);
    // On Windows data there is no such list to add to.
    EXPECT_EQ(open<Tfr_Firefox>("R_Firefox")->CheckBox19, nullptr);
}

TEST_F(SelectiveWindows, ARestoreIntoANewProfileMakesItAndAddsItToTheBrowsersList) {
    auto* backup = open<Tfb_Firefox>("B_Firefox");
    backup->JvDirectoryEdit2->setText(native(backups));
    backup->Button2Click();
    ASSERT_TRUE(fs::exists(backups / "default.dat"));
    const std::string listBefore = readFile(firefoxRoot() / "profiles.ini");

    auto* restore = open<Tfr_Firefox>("R_Firefox");
    ASSERT_NE(restore->NewProfileBox, nullptr);
    expectNoControlCoversAnother(*restore);
    EXPECT_EQ(restore->NewProfileBox->text(), u(u"Новый профиль:"));
    EXPECT_FALSE(restore->NewProfileBox->isChecked());
    EXPECT_FALSE(restore->NewProfileEdit->isEnabled());
    EXPECT_TRUE(restore->ListBox1->isEnabled());
    restore->JvDirectoryEdit2->setText(native(backups));
    QTest::mouseClick(restore->NewProfileBox, Qt::LeftButton);
    EXPECT_FALSE(restore->ListBox1->isEnabled());
    EXPECT_FALSE(restore->JvDirectoryEdit1->isEnabled());
    EXPECT_TRUE(restore->NewProfileEdit->isEnabled());

    // No name: asked for, nothing written.
    restore->NewProfileEdit->setText(QStringLiteral("  "));
    dialogs.clear();
    restore->Button2Click();
    EXPECT_EQ(dialogs.texts(), QStringList{u(u"Введите имя нового профиля.")});
    EXPECT_EQ(readFile(firefoxRoot() / "profiles.ini"), listBefore);

    restore->NewProfileEdit->setText(u(u"Рабочий"));
    QTest::mouseClick(restore->Button2, Qt::LeftButton);
    EXPECT_TRUE(applicationErrors().shown().empty());
    EXPECT_TRUE(restore->Button1->isVisible());
    // Added after the profiles that were there, every line of theirs kept.
    const std::string list = readFile(firefoxRoot() / "profiles.ini");
    EXPECT_TRUE(list.starts_with(listBefore.substr(0, listBefore.find("[General]")))) << list;
    const std::size_t name = list.find("Name=Рабочий\r\n");
    ASSERT_NE(name, std::string::npos) << list;
    const std::size_t path = list.find("Path=Profiles/", name);
    ASSERT_NE(path, std::string::npos) << list;
    const std::string folder = list.substr(path + 5, list.find('\r', path) - path - 5);
    EXPECT_TRUE(folder.ends_with(".Рабочий")) << folder;
    EXPECT_EQ(readFile(firefoxRoot() / folder / "key3.db"),
              readFile(firefoxProfile("abcd1234.default") / "key3.db"));
}

TEST_F(SelectiveWindows, OnAMachineWithoutTheBrowsersDataARestoreGoesIntoANewProfile) {
    TempDir home;
    const auto machine = makeSystemServices({}, {.home = pathToUtf8(home.path())});
    ShellContext here(dialogs, progress, *machine, settingsPath(), [this] { ++terminated; });
    Tfr_Firefox restore(here);
    restore.show();
    ASSERT_NE(restore.NewProfileBox, nullptr);
    EXPECT_TRUE(restore.NewProfileBox->isChecked());
    EXPECT_TRUE(restore.NewProfileEdit->isEnabled());
    EXPECT_EQ(restore.ListBox1->count(), 0);

    // An archive made elsewhere lands in the folder this machine's Firefox reads.
    auto* backup = open<Tfb_Firefox>("B_Firefox");
    backup->JvDirectoryEdit2->setText(native(backups));
    backup->Button2Click();
    ASSERT_TRUE(fs::exists(backups / "default.dat"));
    restore.JvDirectoryEdit2->setText(native(backups));
    QTest::mouseClick(restore.Button2, Qt::LeftButton);
    EXPECT_TRUE(applicationErrors().shown().empty());
    EXPECT_TRUE(restore.Button1->isVisible());
    // In the folder every version reads, listed there by the name given.
    const fs::path root = home / ".mozilla" / "firefox";
    const std::string list = readFile(root / "profiles.ini");
    const std::size_t path = list.find("Path=", list.find("Name=Восстановленный"));
    ASSERT_NE(path, std::string::npos) << list;
    const std::string folder = list.substr(path + 5, list.find('\n', path) - path - 5);
    EXPECT_TRUE(folder.ends_with(".Восстановленный")) << folder;
    EXPECT_EQ(readFile(root / folder / "key3.db"),
              readFile(firefoxProfile("abcd1234.default") / "key3.db"));
    EXPECT_NE(list.find("IsRelative=1"), std::string::npos);
}

} // namespace
} // namespace vellarion::test

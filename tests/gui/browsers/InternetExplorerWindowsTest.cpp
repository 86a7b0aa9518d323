// Internet Explorer's four windows as the user meets them: opened by their
// commands on a sample prefix, with no profile to choose and no archive to
// pick, running their jobs from Next (the pauses between registry saves
// recorded, not slept).
#include "FileTree.h"
#include "RecordedPauses.h"
#include "WizardWindowFixture.h"
#include "gui/browsers/bFull_IE.h"
#include "gui/browsers/b_IE.h"
#include "gui/browsers/rFull_IE.h"
#include "gui/browsers/r_IE.h"
#include "gui/wizards/DirectoryEdit.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

QString u(const char16_t* text) {
    return QString::fromUtf16(text);
}

QString native(const fs::path& path) {
    return QString::fromStdString(pathToUtf8(path));
}

class InternetExplorerWindows : public WizardWindowTest {
protected:
    InternetExplorerWindows()
        : clocked(fx.services()),
          clockedContext(dialogs, progress, clocked, settingsPath(), [this] { ++terminated; }) {
        form = std::make_unique<TForm1>(clockedContext);
        activate(*form);
    }

    fs::path ieRoot() const {
        return fx.onDriveC("users/demo/AppData/Roaming/Microsoft/Internet Explorer");
    }

    RecordedPauses clocked;
    ShellContext clockedContext;
};

TEST_F(InternetExplorerWindows, TheSelectiveWindowsOfferTheItemsAndNoProfileOrArchiveChoice) {
    auto* backup = open<Tfb_IE>("B_InternetExplorer");
    ASSERT_NE(backup, nullptr);
    EXPECT_STREQ(backup->metaObject()->className(), "vellarion::Tfb_IE");
    EXPECT_EQ(backup->windowTitle(), u(u"Архивация данных Internet Explorer"));
    EXPECT_EQ(backup->Label1->text(), u(u"Мастер резервного копирования Internet Explorer"));
    EXPECT_EQ(backup->Label18->text(), u(u"Архивирует следующее:"));
    EXPECT_EQ(backup->Label2->text(), u(u"Расположение резервной копии:"));
    EXPECT_EQ(backup->Label3->text(), u(u"Профиль:"));
    EXPECT_EQ(backup->JvDirectoryEdit1, nullptr);
    EXPECT_EQ(backup->ListBox2, nullptr);
    ASSERT_EQ(backup->ListBox1->count(), 1);
    EXPECT_EQ(backup->ListBox1->item(0)->text(), u(u"По умолчанию"));
    EXPECT_FALSE(backup->ListBox1->isEnabled());

    const std::vector<std::pair<const char*, const char16_t*>> boxes{
        {"CheckBox1", u"Автозаполнение"},
        {"CheckBox2", u"Куки"},
        {"CheckBox3", u"Dialup"},
        {"CheckBox4", u"Избранное"},
        {"CheckBox5", u"История"},
        {"CheckBox6", u"Поисковые системы"},
        {"CheckBox7", u"Сессии"},
        {"CheckBox8", u"Настройки"},
        {"CheckBox9", u"Панель инструментов"},
        {"CheckBox10", u"Панель ссылок"}};
    ASSERT_EQ(backup->itemBoxes().size(), boxes.size());
    for (const auto& [name, caption] : boxes) {
        const QCheckBox* box = backup->checkBox(name);
        ASSERT_NE(box, nullptr) << name;
        EXPECT_EQ(box->text(), u(caption));
        const bool dialup = std::string_view(name) == "CheckBox3";
        EXPECT_EQ(box->isChecked(), !dialup) << name;
        EXPECT_EQ(box->isEnabled(), !dialup) << name;
    }
    expectNoControlCoversAnother(*backup);

    // Clear all and Select all leave the dialup box alone.
    backup->checkBox("CheckBox3")->setChecked(true);
    QTest::mouseClick(backup->Button6, Qt::LeftButton);
    for (QCheckBox* box : backup->itemBoxes()) {
        EXPECT_EQ(box->isChecked(), box->objectName() == QStringLiteral("CheckBox3"));
    }
    backup->checkBox("CheckBox3")->setChecked(false);
    QTest::mouseClick(backup->Button4, Qt::LeftButton);
    for (QCheckBox* box : backup->itemBoxes()) {
        EXPECT_EQ(box->isChecked(), box->objectName() != QStringLiteral("CheckBox3"));
    }

    auto* restore = open<Tfr_IE>("R_InternetExplorer");
    ASSERT_NE(restore, nullptr);
    EXPECT_STREQ(restore->metaObject()->className(), "vellarion::Tfr_IE");
    EXPECT_EQ(restore->windowTitle(), u(u"Восстановление данных Internet Explorer"));
    EXPECT_EQ(restore->Label1->text(), u(u"Мастер восстановления Internet Explorer"));
    EXPECT_EQ(restore->Label18->text(), u(u"Восстанавливает:"));
    EXPECT_EQ(restore->Label3->text(), u(u"Восстановление следующих профилей:"));
    EXPECT_EQ(restore->Label4, nullptr);
    EXPECT_EQ(restore->ListBox2, nullptr);
    EXPECT_FALSE(restore->ListBox1->isEnabled());
    expectNoControlCoversAnother(*restore);
    EXPECT_TRUE(dialogs.shown().empty()) << "no search, so nothing to report, at activation";
}

TEST_F(InternetExplorerWindows, ABackupAndARestoreRunFromNextAndTheRestoreKeepsFinishShowing) {
    fs::remove_all(ieRoot() / "Recovery");
    auto* backup = open<Tfb_IE>("B_InternetExplorer");
    backup->JvDirectoryEdit2->setText(native(backups));
    QTest::mouseClick(backup->Button2, Qt::LeftButton);

    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join(u'|').toStdString();
    EXPECT_TRUE(storedNames(backups / "backup_ie.dat").count("set7.reg"));
    EXPECT_FALSE(backup->checkBox("CheckBox7")->isChecked()) << "no Recovery folder to save";
    EXPECT_EQ(clocked.pauses, (std::vector<int>{1000, 1000, 1000, 1000}));
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(progress.position(), 100);
    EXPECT_TRUE(backup->Button1->isVisible());
    EXPECT_EQ(backup->ListBox1->count(), 1) << "the one entry stays";

    // Coming back to the backup window hides Finish; the restore window
    // only sets its title again.
    writeFile(fx.onDriveC("users/demo/Favorites/Example.url"), "changed");
    auto* restore = open<Tfr_IE>("R_InternetExplorer");
    restore->JvDirectoryEdit2->setText(native(backups));
    QTest::mouseClick(restore->Button2, Qt::LeftButton);
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(readFile(fx.onDriveC("users/demo/Favorites/Example.url")),
              "[InternetShortcut]\r\nURL=https://www.example.org/\r\n");
    EXPECT_FALSE(restore->checkBox("CheckBox7")->isChecked());
    EXPECT_TRUE(restore->Button1->isVisible());
    activateDocument(*backup);
    EXPECT_TRUE(backup->Button1->isHidden());
    restore->Label1->clear();
    activateDocument(*restore);
    EXPECT_EQ(restore->Label1->text(), u(u"Мастер восстановления Internet Explorer"));
    EXPECT_TRUE(restore->Button1->isVisible());
    EXPECT_EQ(readTree(backups).size(), 1u) << "only the archive";
}

TEST_F(InternetExplorerWindows, TheRestoreWindowSaysWhenThereIsNoBackupIeDat) {
    auto* restore = open<Tfr_IE>("R_InternetExplorer");
    restore->JvDirectoryEdit2->setText(native(backups));
    QTest::mouseClick(restore->Button2, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("Backup File \"backup_ie.dat\" Not Found")});
    EXPECT_FALSE(progress.isVisible());
    EXPECT_TRUE(restore->Button1->isHidden());
}

TEST_F(InternetExplorerWindows, TheFullWindowsStepTheirOwnBarThroughTheItems) {
    auto* backup = open<Tffb_IE>("sB_InternetExplorer");
    ASSERT_NE(backup, nullptr);
    EXPECT_STREQ(backup->metaObject()->className(), "vellarion::Tffb_IE");
    EXPECT_EQ(backup->windowTitle(), u(u"Архивация данных Internet Explorer"));
    EXPECT_EQ(backup->Label1->text(),
              u(u"Мастер полного резервного копирования Internet Explorer"));
    EXPECT_EQ(backup->Label18->text(), u(u"Расположение резервной копии:"));
    EXPECT_EQ(backup->Label3->text(), u(u"Ход работы:"));
    EXPECT_EQ(backup->findChild<QLabel*>(QStringLiteral("lblFilename")), nullptr);
    expectNoControlCoversAnother(*backup);

    std::vector<int> bar;
    QObject::connect(backup->ProgressBar1, &QProgressBar::valueChanged,
                     [&bar](int value) { bar.push_back(value); });
    backup->JvDirectoryEdit2->setText(native(backups));
    QTest::mouseClick(backup->Button2, Qt::LeftButton);
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join(u'|').toStdString();
    // Twelve steps of 9, the last one stopped at the maximum, then empty.
    EXPECT_EQ(bar, (std::vector<int>{9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 99, 100, 0}));
    EXPECT_TRUE(backup->Button1->isVisible());
    EXPECT_TRUE(storedNames(backups / "fbackup_ie.dat").count("Favorites\\Example.url"));

    auto* restore = open<Tffr_IE>("sR_InternetExplorer");
    ASSERT_NE(restore, nullptr);
    EXPECT_STREQ(restore->metaObject()->className(), "vellarion::Tffr_IE");
    EXPECT_EQ(restore->windowTitle(), u(u"Восстановление данных Internet Explorer"));
    EXPECT_EQ(restore->Label1->text(), u(u"Мастер полного восстановления Internet Explorer"));
    expectNoControlCoversAnother(*restore);
    bar.clear();
    QObject::connect(restore->ProgressBar1, &QProgressBar::valueChanged,
                     [&bar](int value) { bar.push_back(value); });
    restore->JvDirectoryEdit2->setText(native(backups));
    QTest::mouseClick(restore->Button2, Qt::LeftButton);
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(bar, (std::vector<int>{9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 99, 0}));
    EXPECT_TRUE(restore->Button1->isVisible());

    dialogs.clear();
    fs::remove(backups / "fbackup_ie.dat");
    restore->Button2Click();
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("Backup File \"fbackup_ie.dat\" Not Found")});
}

} // namespace
} // namespace vellarion::test

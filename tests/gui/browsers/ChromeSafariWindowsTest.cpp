// The eight windows of Chrome and Safari as the user meets them: opened by
// their commands on a sample prefix, their texts, boxes and profiles, what
// Select all and Clear all set, and the archive name the two browsers share.
#include "FileTree.h"
#include "WizardWindowFixture.h"
#include "gui/browsers/bFull_Chrome.h"
#include "gui/browsers/bFull_Safari.h"
#include "gui/browsers/b_Chrome.h"
#include "gui/browsers/b_Safari.h"
#include "gui/browsers/rFull_Chrome.h"
#include "gui/browsers/rFull_Safari.h"
#include "gui/browsers/r_Chrome.h"
#include "gui/browsers/r_Safari.h"
#include "gui/kit/Controls.h"
#include "gui/wizards/DirectoryEdit.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <set>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

struct Expected {
    const char* command;
    const char* className;
    const char* caption;
    const char* title;
    const char* banner;
};

using ChromeSafariWindows = WizardWindowTest;

TEST_F(ChromeSafariWindows, TheEightCommandsOpenTheirWindowsWithTheirTextsAndBanners) {
    const Expected windows[] = {
        {"B_Chrome", "vellarion::Tfb_Chrome", "Архивация данных Chrome",
         "Мастер резервного копирования Chrome", "banner-chrome.svg"},
        {"R_Chrome", "vellarion::Tfr_Chrome", "Восстановление данных Chrome",
         "Добро пожаловать в мастер восстановления Chrome", "banner-chrome.svg"},
        {"B_Safari", "vellarion::Tfb_Safari", "Архивация данных Safari",
         "Мастер резервного копирования Safari", "banner-safari.svg"},
        {"R_Safari", "vellarion::Tfr_Safari", "Восстановление данных Safari",
         "Мастер восстановления Safari", "banner-safari.svg"},
        {"sB_Chrome", "vellarion::Tffb_Chrome", "Архивация данных Chrome",
         "Мастер полного резервного копирования Chrome", "banner-chrome.svg"},
        {"sR_Chrome", "vellarion::Tffr_Chrome", "Восстановление данных Chrome",
         "Мастер полного восстановления Chrome", "banner-chrome.svg"},
        {"sB_Safari", "vellarion::Tffb_Safari", "Архивация данных Safari",
         "Мастер полного резервного копирования Safari", "banner-safari.svg"},
        {"sR_Safari", "vellarion::Tffr_Safari", "Восстановление данных Safari",
         "Мастер полного восстановления Safari", "banner-safari.svg"},
    };
    for (const Expected& expected : windows) {
        SCOPED_TRACE(expected.command);
        auto* window = open<WizardForm>(expected.command);
        ASSERT_NE(window, nullptr);
        EXPECT_STREQ(window->metaObject()->className(), expected.className);
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8(expected.caption));
        EXPECT_EQ(window->Label1->text(), QString::fromUtf8(expected.title));
        EXPECT_TRUE(window->Image5->resource().endsWith(QString::fromUtf8(expected.banner)));
        EXPECT_TRUE(window->Image5->isValid() && window->Image6->isValid());
        expectNoControlCoversAnother(*window);
    }
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();

    // The derivation that carries the shared behaviour.
    auto* chrome = open<Tfb_Chrome>("B_Chrome");
    EXPECT_TRUE(chrome->inherits("vellarion::Tfb_Firefox"));
    EXPECT_TRUE(open<Tffr_Safari>("sR_Safari")->inherits("vellarion::Tffb_Firefox"));
    EXPECT_FALSE(open<Tfr_Safari>("R_Safari")->inherits("vellarion::Tfb_Firefox"));
}

TEST_F(ChromeSafariWindows, TheItemBoxesStandOnTheGridAndTheProfilesAreListed) {
    auto* chrome = open<Tfb_Chrome>("B_Chrome");
    EXPECT_EQ(chrome->itemBoxes().size(), 17u);
    EXPECT_EQ(chrome->checkBox("CheckBox18"), nullptr) << "the themes box is no Chrome item";
    EXPECT_EQ(chrome->checkBox("CheckBox16")->text(), QStringLiteral("Login data"));
    EXPECT_EQ(chrome->checkBox("CheckBox16")->pos(), QPoint(413, 132));
    EXPECT_EQ(chrome->checkBox("CheckBox14")->pos(), QPoint(221, 247));
    EXPECT_EQ(chrome->checkBox("CheckBox6")->pos(), QPoint(39, 247));
    EXPECT_EQ(entries(chrome->ListBox1),
              (QStringList{QStringLiteral("Default"), QStringLiteral("Profile 1")}));

    auto* safari = open<Tfr_Safari>("R_Safari");
    EXPECT_EQ(safari->itemBoxes().size(), 10u);
    EXPECT_EQ(safari->checkBox("CheckBox8")->text(), QStringLiteral("Установки"));
    EXPECT_EQ(safari->checkBox("CheckBox8")->pos(), QPoint(221, 132));
    EXPECT_EQ(safari->Label3->text(), QStringLiteral("Файл резервной копии:"));
    EXPECT_EQ(safari->Label4->text(), QStringLiteral("Восстановление следующих профилей:"));
    EXPECT_EQ(entries(safari->ListBox1),
              (QStringList{QStringLiteral("Safari"), QStringLiteral("Safari (old PC)")}));

    for (SelectiveWizardForm* window :
         {static_cast<SelectiveWizardForm*>(chrome), static_cast<SelectiveWizardForm*>(safari)}) {
        const QCheckBox* cache = window->checkBox("CheckBox2");
        EXPECT_EQ(cache->text(), QStringLiteral("Кэш"));
        EXPECT_TRUE(cache->isChecked() && !cache->isEnabled());
        for (QCheckBox* box : window->itemBoxes()) {
            EXPECT_TRUE(box->isChecked()) << box->objectName().toStdString();
        }
    }
}

TEST_F(ChromeSafariWindows, SelectAllAndClearAllLeaveChromesLoginDataAsTheUserSetIt) {
    auto* chrome = open<Tfr_Chrome>("R_Chrome");
    QTest::mouseClick(chrome->Button6, Qt::LeftButton);
    for (QCheckBox* box : chrome->itemBoxes()) {
        EXPECT_EQ(box->isChecked(), box->objectName() == QStringLiteral("CheckBox16"))
            << box->objectName().toStdString();
    }
    chrome->checkBox("CheckBox16")->setChecked(false);
    QTest::mouseClick(chrome->Button4, Qt::LeftButton);
    for (QCheckBox* box : chrome->itemBoxes()) {
        EXPECT_EQ(box->isChecked(), box->objectName() != QStringLiteral("CheckBox16"))
            << box->objectName().toStdString();
    }

    // Safari's buttons set every box, the cache box included.
    auto* safari = open<Tfb_Safari>("B_Safari");
    QTest::mouseClick(safari->Button6, Qt::LeftButton);
    for (QCheckBox* box : safari->itemBoxes()) {
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    }
    QTest::mouseClick(safari->Button4, Qt::LeftButton);
    for (QCheckBox* box : safari->itemBoxes()) {
        EXPECT_TRUE(box->isChecked()) << box->objectName().toStdString();
    }
}

TEST_F(ChromeSafariWindows, SafarisCustomBackupAsksBeforeItReplacesChromesArchive) {
    const fs::path chromeProfile =
        fx.onDriveC("users/demo/AppData/Local/Google/Chrome/User Data/Profile 1");
    auto* chrome = open<Tfb_Chrome>("B_Chrome");
    chrome->JvDirectoryEdit1->setText(native(chromeProfile));
    chrome->JvDirectoryEdit2->setText(native(backups));
    QTest::mouseClick(chrome->Button2, Qt::LeftButton);
    ASSERT_TRUE(storedNames(backups / "ch_custom.dat").contains("Bookmarks"));
    const std::string chromes = readFile(backups / "ch_custom.dat");

    auto* safari = open<Tfb_Safari>("B_Safari");
    safari->JvDirectoryEdit1->setText(
        native(fx.onDriveC("users/demo/AppData/Roaming/Apple Computer/Safari (old PC)")));
    safari->JvDirectoryEdit2->setText(native(backups));
    dialogs.clear();
    dialogs.queueAnswer(Dialogs::Answer::No);
    QTest::mouseClick(safari->Button2, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(
        dialogs.shown().front().text,
        QStringLiteral("Файл резервной копии \"ch_custom.dat\" уже существует. Заменить его?"));
    EXPECT_TRUE(readFile(backups / "ch_custom.dat") == chromes);
    EXPECT_FALSE(safari->Button1->isVisible());

    QTest::mouseClick(safari->Button2, Qt::LeftButton); // answered Yes
    EXPECT_TRUE(safari->Button1->isVisible());
    EXPECT_EQ(storedNames(backups / "ch_custom.dat"),
              (std::set<std::string>{"Bookmarks.plist", "Cookies\\Cookies.plist", "History.plist",
                                     "TopSites.plist", "Preferences\\com.apple.Safari.plist"}));
}

TEST_F(ChromeSafariWindows, TheFullWindowsPackTheWholeDataRoot) {
    auto* backup = open<Tffb_Chrome>("sB_Chrome");
    backup->JvDirectoryEdit2->setText(native(backups));
    QTest::mouseClick(backup->Button2, Qt::LeftButton);
    EXPECT_TRUE(backup->Button1->isVisible());
    const std::set<std::string> names = storedNames(backups / "fbackup_chrome.dat");
    EXPECT_TRUE(names.contains("Local State") && names.contains("Default\\Bookmarks") &&
                names.contains("Profile 1\\Bookmarks"));

    auto* restore = open<Tffr_Safari>("sR_Safari");
    restore->JvDirectoryEdit2->setText(native(backups));
    dialogs.clear();
    QTest::mouseClick(restore->Button2, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("Backup File \"fbackup_safari.dat\" Not Found")});
    EXPECT_FALSE(restore->Button1->isVisible());
}

} // namespace
} // namespace vellarion::test

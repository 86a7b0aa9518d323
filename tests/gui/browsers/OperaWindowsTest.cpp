// Opera's four wizard windows, opened from the main window's commands on a
// sample prefix and used as a user uses them.
#include "FileTree.h"
#include "WizardWindowFixture.h"
#include "gui/browsers/bFull_Opera.h"
#include "gui/browsers/b_Opera.h"
#include "gui/browsers/rFull_Opera.h"
#include "gui/browsers/r_Opera.h"
#include "gui/wizards/DirectoryEdit.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

QString u(const char16_t* text) {
    return QString::fromUtf16(text);
}

class OperaWindows : public WizardWindowTest {
protected:
    OperaWindows() : WizardWindowTest({.browsers = {Browser::Opera}}) {}

    static void type(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
};

TEST_F(OperaWindows, TheSelectiveWindowsShowOperasBoxesAndInstallations) {
    for (const char* command : {"B_Opera", "R_Opera"}) {
        SCOPED_TRACE(command);
        const bool restore = command[0] == 'R';
        auto* window = open<Tfb_Opera>(command);
        ASSERT_NE(window, nullptr);
        EXPECT_STREQ(window->metaObject()->className(),
                     restore ? "vellarion::Tfr_Opera" : "vellarion::Tfb_Opera");
        EXPECT_EQ(window->windowTitle(),
                  restore ? u(u"Восстановление данных Opera") : u(u"Архивация данных Opera"));
        EXPECT_EQ(window->Label1->text(), restore ? u(u"Мастер восстановления Opera")
                                                  : u(u"Мастер резервного копирования Opera"));
        EXPECT_EQ(window->Label3->text(), u(u"Профиль:"));
        expectNoControlCoversAnother(*window);
        EXPECT_EQ(window->itemBoxes().size(), 17u);
        EXPECT_EQ(window->checkBox("CheckBox18"), nullptr) << "nothing under the passwords";
        QCheckBox* passwords = window->checkBox("CheckBox16");
        ASSERT_NE(passwords, nullptr);
        EXPECT_EQ(passwords->text(), u(u"Данные (пароли)"));
        EXPECT_TRUE(passwords->isVisible() && passwords->isEnabled());
        EXPECT_EQ(passwords->y(), window->checkBox("CheckBox15")->y() + 23);
        ASSERT_EQ(window->ListBox1->count(), 3);
        EXPECT_EQ(window->ListBox1->item(2)->text(), QStringLiteral("Opera 9"));
        window->Button6->click();
        EXPECT_FALSE(passwords->isChecked());
        window->Button4->click();
        EXPECT_TRUE(window->checkBox("CheckBox17")->isChecked());
    }
}

TEST_F(OperaWindows, TheFullWindowsAskForTheInstallationFolderOnlyWhenTheDataIsNotThere) {
    auto* found = open<Tffb_Opera>("sB_Opera");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Label1->text(), u(u"Мастер полного резервного копирования Opera"));
    EXPECT_TRUE(found->Label2->isHidden() && found->Edit1->isHidden());
    EXPECT_TRUE(dialogs.texts().isEmpty());

    fs::remove_all(fx.onDriveC("users/demo/AppData/Roaming/Opera/Opera"));
    auto* window = open<Tffr_Opera>("sR_Opera");
    ASSERT_NE(window, nullptr);
    EXPECT_STREQ(window->metaObject()->className(), "vellarion::Tffr_Opera");
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("Settings Files Not Found. Please Type Folder Name.")});
    EXPECT_FALSE(window->Label2->isHidden() || window->Edit1->isHidden());
    EXPECT_TRUE(window->Label2->text().contains(u(u"просто введите «Opera 10»")));
    expectNoControlCoversAnother(*window);

    // A backup through the typed name gives the restore its two archives.
    auto* backup = open<Tffb_Opera>("sB_Opera");
    ASSERT_NE(backup, nullptr);
    dialogs.clear();
    type(backup->JvDirectoryEdit2->lineEdit(), QString::fromStdString(pathToUtf8(backups)));
    type(backup->Edit1, QStringLiteral("..\\Opera 10"));
    QTest::mouseClick(backup->Button2, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral(
                                   "Settings Files Not Found. Please Re-Check Folder Name.")});
    EXPECT_TRUE(fs::is_empty(backups));
    type(backup->Edit1, QStringLiteral("Opera 10"));
    QTest::mouseClick(backup->Button2, Qt::LeftButton);
    EXPECT_FALSE(backup->Button1->isHidden());
    EXPECT_TRUE(fs::exists(backups / "fbackup_opera.dat"));
    EXPECT_EQ(storedNames(backups / "fbackup_opera2.dat"), std::set<std::string>{"index.ini"});
}

} // namespace
} // namespace vellarion::test

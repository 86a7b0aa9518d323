// Internet Explorer's four windows as the user meets them, opened by their
// commands on a sample prefix: no profile to choose, no archive to pick,
// and the jobs run from Next (their pauses recorded, not slept).
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

QString u(const char16_t* text) {
    return QString::fromUtf16(text);
}

class InternetExplorerWindows : public WizardWindowTest {
protected:
    InternetExplorerWindows()
        : clocked(fx.services()),
          clockedContext(dialogs, progress, clocked, settingsPath(), [this] { ++terminated; }) {
        form = std::make_unique<TForm1>(clockedContext);
        activate(*form);
    }
    // Next with the backup location typed in.
    void next(WizardForm& window) {
        window.JvDirectoryEdit2->setText(QString::fromStdString(pathToUtf8(backups)));
        QTest::mouseClick(window.Button2, Qt::LeftButton);
    }

    RecordedPauses clocked;
    ShellContext clockedContext;
};

TEST_F(InternetExplorerWindows, TheSelectiveWindowsOfferTheItemsButNoProfileOrArchive) {
    auto* backup = open<Tfb_IE>("B_InternetExplorer");
    ASSERT_NE(backup, nullptr);
    EXPECT_EQ(backup->windowTitle(), u(u"Архивация данных Internet Explorer"));
    EXPECT_EQ(backup->Label1->text(), u(u"Мастер резервного копирования Internet Explorer"));
    EXPECT_EQ(backup->Label3->text(), u(u"Профиль:"));
    EXPECT_EQ(backup->JvDirectoryEdit1, nullptr);
    ASSERT_EQ(backup->ListBox1->count(), 1);
    EXPECT_EQ(backup->ListBox1->item(0)->text(), u(u"По умолчанию"));
    EXPECT_FALSE(backup->ListBox1->isEnabled());
    EXPECT_EQ(backup->itemBoxes().size(), 10u);
    EXPECT_FALSE(backup->checkBox("CheckBox3")->isEnabled() ||
                 backup->checkBox("CheckBox3")->isChecked());
    EXPECT_EQ(backup->checkBox("CheckBox3")->text(), QStringLiteral("Dialup"));
    expectNoControlCoversAnother(*backup);
    // Neither Clear all nor Select all touches the dialup box.
    backup->checkBox("CheckBox3")->setChecked(true);
    QTest::mouseClick(backup->Button6, Qt::LeftButton);
    QTest::mouseClick(backup->Button4, Qt::LeftButton);
    EXPECT_TRUE(backup->checkBox("CheckBox3")->isChecked());
    EXPECT_TRUE(backup->checkBox("CheckBox10")->isChecked());

    auto* restore = open<Tfr_IE>("R_InternetExplorer");
    ASSERT_NE(restore, nullptr);
    EXPECT_EQ(restore->Label1->text(), u(u"Мастер восстановления Internet Explorer"));
    EXPECT_EQ(restore->Label3->text(), u(u"Восстановление следующих профилей:"));
    EXPECT_EQ(restore->ListBox2, nullptr);
    expectNoControlCoversAnother(*restore);
    EXPECT_TRUE(dialogs.shown().empty()) << "nothing is searched at activation";
}

TEST_F(InternetExplorerWindows, TheRestoreWindowFindsBackupIeDatAndKeepsFinishOnActivation) {
    auto* restore = open<Tfr_IE>("R_InternetExplorer");
    next(*restore);
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("Backup File \"backup_ie.dat\" Not Found")});
    EXPECT_FALSE(progress.isVisible());

    auto* backup = open<Tfb_IE>("B_InternetExplorer");
    next(*backup);
    EXPECT_EQ(clocked.pauses.size(), 4u);
    EXPECT_EQ(progress.position(), 100);
    EXPECT_TRUE(backup->Button1->isVisible());
    activateDocument(*restore);
    dialogs.clear();
    QTest::mouseClick(restore->Button2, Qt::LeftButton);
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join(u'|').toStdString();
    EXPECT_TRUE(restore->Button1->isVisible());
    // Coming back, the backup window hides Finish; the restore window only
    // sets its title again.
    activateDocument(*backup);
    EXPECT_TRUE(backup->Button1->isHidden());
    activateDocument(*restore);
    EXPECT_TRUE(restore->Button1->isVisible());
    EXPECT_EQ(readTree(backups).size(), 1u) << "only the archive is left";
}

TEST_F(InternetExplorerWindows, TheFullWindowsStepTheirOwnBarThroughTheItems) {
    for (const char* command : {"sB_InternetExplorer", "sR_InternetExplorer"}) {
        SCOPED_TRACE(command);
        auto* window = open<Tffb_IE>(command);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("lblFilename")), nullptr);
        expectNoControlCoversAnother(*window);
        std::vector<int> bar;
        QObject::connect(window->ProgressBar1, &QProgressBar::valueChanged,
                         [&bar](int value) { bar.push_back(value); });
        next(*window);
        EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join(u'|').toStdString();
        EXPECT_TRUE(window->Button1->isVisible());
        // Twelve steps of 9 for a backup, the last stopped at the maximum;
        // eleven for a restore; the bar empty at the end.
        std::vector<int> expected{9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 99};
        if (command[1] == 'B') {
            expected.push_back(100);
        }
        expected.push_back(0);
        EXPECT_EQ(bar, expected);
    }
    EXPECT_EQ(open<Tffb_IE>("sR_InternetExplorer")->Label1->text(),
              u(u"Мастер полного восстановления Internet Explorer"));
}

} // namespace
} // namespace vellarion::test

// The eight windows of Chrome and Safari as their commands open them on a
// sample prefix, and what Select all and Clear all set in them.
#include "WizardWindowFixture.h"
#include "gui/browsers/bFull_Chrome.h"
#include "gui/browsers/b_Chrome.h"
#include "gui/kit/Controls.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

using ChromeSafariWindows = WizardWindowTest;

TEST_F(ChromeSafariWindows, TheEightCommandsOpenTheirWindowsOnTheirBanners) {
    const char* const windows[][4] = {
        {"B_Chrome", "Tfb_Chrome", "Архивация данных Chrome",
         "Мастер резервного копирования Chrome"},
        {"R_Chrome", "Tfr_Chrome", "Восстановление данных Chrome",
         "Добро пожаловать в мастер восстановления Chrome"},
        {"B_Safari", "Tfb_Safari", "Архивация данных Safari",
         "Мастер резервного копирования Safari"},
        {"R_Safari", "Tfr_Safari", "Восстановление данных Safari", "Мастер восстановления Safari"},
        {"sB_Chrome", "Tffb_Chrome", "Архивация данных Chrome",
         "Мастер полного резервного копирования Chrome"},
        {"sR_Chrome", "Tffr_Chrome", "Восстановление данных Chrome",
         "Мастер полного восстановления Chrome"},
        {"sB_Safari", "Tffb_Safari", "Архивация данных Safari",
         "Мастер полного резервного копирования Safari"},
        {"sR_Safari", "Tffr_Safari", "Восстановление данных Safari",
         "Мастер полного восстановления Safari"},
    };
    for (const auto& [command, className, caption, title] : windows) {
        SCOPED_TRACE(command);
        auto* window = open<WizardForm>(command);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->metaObject()->className(), "vellarion::" + std::string(className));
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8(caption));
        EXPECT_EQ(window->Label1->text(), QString::fromUtf8(title));
        const QString banner = QString::fromLatin1(command).contains(QStringLiteral("Chrome"))
                                   ? QStringLiteral("banner-chrome.svg")
                                   : QStringLiteral("banner-safari.svg");
        EXPECT_TRUE(window->Image5->resource().endsWith(banner) && window->Image5->isValid());
        expectNoControlCoversAnother(*window);
    }
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();
    // The derivation that carries the shared behaviour.
    EXPECT_TRUE(open<Tfb_Chrome>("B_Chrome")->inherits("vellarion::Tfb_Firefox"));
    EXPECT_TRUE(open<Tffb_Chrome>("sR_Chrome")->inherits("vellarion::Tffb_Firefox"));
}

TEST_F(ChromeSafariWindows, ClearAllAndSelectAllLeaveChromesLoginDataAsTheUserSetIt) {
    auto* chrome = open<Tfb_Chrome>("B_Chrome");
    EXPECT_EQ(entries(chrome->ListBox1),
              QStringList({QStringLiteral("Default"), QStringLiteral("Profile 1")}));
    EXPECT_EQ(chrome->checkBox("CheckBox18"), nullptr) << "the themes box is no Chrome item";
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
}

} // namespace
} // namespace vellarion::test

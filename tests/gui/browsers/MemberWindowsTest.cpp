// Today's browsers in the window: each opens its family's four windows with
// its own texts, banner and icon from the ribbon, lists its profiles by the
// names their users gave them, and fits the window.
#include "WizardWindowFixture.h"
#include "core/browsers/DataSet.h"
#include "gui/browsers/bFull_Member.h"
#include "gui/browsers/b_Member.h"
#include "gui/kit/Controls.h"
#include "gui/ribbon/Ribbon.h"
#include "gui/ribbon/RibbonButton.h"
#include "gui/ribbon/RibbonPage.h"

#include <QCheckBox>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

struct Member {
    const char* command; // after the mode's prefix
    const BrowserDataSet& (*data)();
    const char* banner;
    bool firefoxFamily;
};

const Member kMembers[] = {
    {"Edge", edgeDataSet, "banner-edge.svg", false},
    {"Brave", braveDataSet, "banner-brave.svg", false},
    {"Vivaldi", vivaldiDataSet, "banner-vivaldi.svg", false},
    {"OperaStable", operaStableDataSet, "banner-opera-stable.svg", false},
    {"OperaGX", operaGxDataSet, "banner-opera-gx.svg", false},
    {"Chromium", chromiumDataSet, "banner-chromium.svg", false},
    {"LibreWolf", libreWolfDataSet, "banner-librewolf.svg", true},
    {"Waterfox", waterfoxDataSet, "banner-waterfox.svg", true},
    {"Floorp", floorpDataSet, "banner-floorp.svg", true},
    {"Zen", zenDataSet, "banner-zen.svg", true},
};

class MemberWindows : public WizardWindowTest {
protected:
    MemberWindows() : WizardWindowTest(SamplePrefixOptions{.browsers = allBrowsers()}) {}
};

TEST_F(MemberWindows, EachOpensItsFamilysFourWindowsWithItsTextsAndProfileNames) {
    for (const Member& m : kMembers) {
        const BrowserDataSet& data = m.data();
        SCOPED_TRACE(m.command);
        const std::string name(m.command);
        const struct {
            std::string command;
            const WizardTexts& texts;
            bool restore;
        } modes[] = {{"B_" + name, data.selective.texts, false},
                     {"R_" + name, data.selective.texts, true},
                     {"sB_" + name, data.full.texts, false},
                     {"sR_" + name, data.full.texts, true}};
        for (const auto& mode : modes) {
            auto* window = open<WizardForm>(mode.command.c_str());
            ASSERT_NE(window, nullptr);
            EXPECT_EQ(window->windowTitle(),
                      qText(mode.restore ? mode.texts.restoreCaption : mode.texts.backupCaption));
            EXPECT_EQ(window->Label1->text(),
                      qText(mode.restore ? mode.texts.restoreTitle : mode.texts.backupTitle));
            EXPECT_TRUE(window->Image5->resource().endsWith(QString::fromLatin1(m.banner)) &&
                        window->Image5->isValid());
            expectNoControlCoversAnother(*window);
            if (auto* selective = qobject_cast<SelectiveWizardForm*>(window)) {
                const QStringList expected = m.firefoxFamily
                                                 ? QStringList{QStringLiteral("abcd1234.default"),
                                                               QStringLiteral("wxyz9876.work")}
                                                 : QStringList{QStringLiteral("Personal (Default)"),
                                                               QStringLiteral("Work (Profile 1)")};
                EXPECT_EQ(entries(selective->ListBox1), expected);
            }
            window->close();
        }
        // The Firefox family's restore adds its list's boxes.
        auto* restore = open<SelectiveWizardForm>(("R_" + name).c_str());
        EXPECT_EQ(restore->inherits("vellarion::Tfr_Firefox"), m.firefoxFamily);
    }
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();
}

TEST_F(MemberWindows, TheRibbonReachesEveryOneInEveryModeWithItsOwnIconAndKeyTip) {
    open<WizardForm>("B_Edge");
    Ribbon* ribbon = form->Ribbon1;
    QSet<qint64> icons;
    for (int tab = 0; tab < 4; ++tab) {
        RibbonPage* page = ribbon->page(tab);
        SCOPED_TRACE(page->objectName().toStdString());
        ASSERT_EQ(page->groups().size(), 3);
        EXPECT_EQ(page->groups()[1]->caption(), QStringLiteral("Chromium"));
        EXPECT_EQ(page->groups()[2]->caption(), QStringLiteral("Firefox"));
        QStringList named;
        QStringList first;
        for (RibbonButton* button : page->groups()[0]->buttons()) {
            first << button->keyTip();
        }
        QStringList tips;
        for (int g = 1; g < 3; ++g) {
            for (RibbonButton* button : page->groups()[g]->buttons()) {
                named << button->action()->objectName();
                tips << button->keyTip();
                EXPECT_EQ(button->kind(), RibbonButton::Kind::Row);
                EXPECT_FALSE(first.contains(button->keyTip())) << button->keyTip().toStdString();
                icons.insert(button->action()->icon().cacheKey());
                if (tab == 0) {
                    EXPECT_FALSE(button->action()->icon().isNull());
                }
            }
        }
        EXPECT_EQ(QSet<QString>(tips.begin(), tips.end()).size(), tips.size()) << "unique";
        const QString prefix = QStringList{QStringLiteral("B_"), QStringLiteral("R_"),
                                           QStringLiteral("sB_"), QStringLiteral("sR_")}[tab];
        QStringList expected;
        for (const Member& m : kMembers) {
            expected << prefix + QString::fromLatin1(m.command);
        }
        EXPECT_EQ(named, expected);
        // Everything fits the main window.
        EXPECT_LE(page->sizeHint().width(), form->width());
    }
    // The 37 commands are still the 37; today's browsers have four each.
    EXPECT_EQ(form->commands().size(), 37);
    EXPECT_EQ(form->memberCommands().size(), 40);

    // Alt, A (full backup), Z: Zen's full backup window.
    QTest::keyClick(form.get(), Qt::Key_Alt);
    QTest::keyClick(form.get(), Qt::Key_A);
    QTest::keyClick(form.get(), Qt::Key_Z);
    QMdiSubWindow* frame = form->documents()->activeSubWindow();
    ASSERT_NE(frame, nullptr);
    auto* zen = qobject_cast<Tffb_Member*>(frame->widget());
    ASSERT_NE(zen, nullptr);
    EXPECT_EQ(zen->Label1->text(), qText(zenDataSet().full.texts.backupTitle));
}

} // namespace
} // namespace vellarion::test

#include "gui/ribbon/Ribbon.h"

#include "ShellFixture.h"
#include "gui/ribbon/RibbonApplicationMenu.h"
#include "gui/ribbon/RibbonButton.h"
#include "gui/ribbon/RibbonPage.h"
#include "gui/ribbon/ScreenTip.h"

#include <QAction>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

// A window holding nothing but a ribbon with two tabs:
//   "Save" (S): group "Files": Open (O), Print (P), Post (P)
//   "Edit" (E): group "Text": Cut (C)
// and Undo, Redo on the quick-access bar; Quit in the application menu.
class RibbonHost : public ::testing::Test {
protected:
    RibbonHost() {
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        ribbon = new Ribbon(&window);
        layout->addWidget(ribbon);
        layout->addStretch(1);
        window.resize(600, 300);

        RibbonGroup* files =
            ribbon->addTab(QStringLiteral("Save"), QStringLiteral("S"), QStringLiteral("Saving"))
                ->addGroup(QStringLiteral("Files"), QStringLiteral("File work"));
        files->addLargeButton(make("open"), QStringLiteral("&Open file"), QStringLiteral("O"));
        files->addLargeButton(make("print"), QStringLiteral("&Print"), QStringLiteral("P"));
        files->addLargeButton(make("post"), QStringLiteral("P&ost"), QStringLiteral("P"));
        RibbonGroup* text =
            ribbon->addTab(QStringLiteral("Edit"), QStringLiteral("E"), QStringLiteral("Editing"))
                ->addGroup(QStringLiteral("Text"));
        text->addLargeButton(make("cut"), QStringLiteral("Cu&t"), QStringLiteral("C"));
        ribbon->addQuickAccessAction(make("undo"));
        ribbon->addQuickAccessAction(make("redo"));
        ribbon->applicationButton()->setText(QStringLiteral("&Program"));
        ribbon->applicationButton()->setKeyTip(QStringLiteral("F"));
        ribbon->applicationButton()
            ->menu()
            ->addEntry(QStringLiteral("&Session"), QStringLiteral("F"))
            ->addAction(make("quit"));
        activate(window);
    }

    QAction* make(const char* name) {
        auto* action = new QAction(QString::fromLatin1(name), &window);
        action->setObjectName(QString::fromLatin1(name));
        QObject::connect(action, &QAction::triggered,
                         [this, name] { triggered << QString::fromLatin1(name); });
        return action;
    }

    void tapAlt() { QTest::keyClick(&window, Qt::Key_Alt); }
    void type(Qt::Key key) { QTest::keyClick(&window, key); }

    QWidget window;
    Ribbon* ribbon;
    QStringList triggered;
};

TEST_F(RibbonHost, ATapOfAltShowsTheTipsOfTabsQuickAccessAndApplicationButton) {
    EXPECT_FALSE(ribbon->keyTipsVisible());
    tapAlt();
    EXPECT_EQ(ribbon->visibleKeyTips(),
              (QStringList{QStringLiteral("F"), QStringLiteral("1"), QStringLiteral("2"),
                           QStringLiteral("S"), QStringLiteral("E")}));
    tapAlt();
    EXPECT_FALSE(ribbon->keyTipsVisible());
    EXPECT_TRUE(triggered.isEmpty());
}

TEST_F(RibbonHost, ATabsTipOpensItsPageAndAButtonsTipRunsIt) {
    tapAlt();
    type(Qt::Key_E);
    EXPECT_EQ(ribbon->currentIndex(), 1);
    EXPECT_EQ(ribbon->visibleKeyTips(), QStringList{QStringLiteral("C")});
    type(Qt::Key_C);
    EXPECT_EQ(triggered, QStringList{QStringLiteral("cut")});
    EXPECT_FALSE(ribbon->keyTipsVisible());
}

TEST_F(RibbonHost, WhenTwoButtonsShareATipTheFirstRuns) {
    ribbon->setCurrentIndex(1);
    tapAlt();
    type(Qt::Key_S);
    EXPECT_EQ(ribbon->currentIndex(), 0);
    EXPECT_EQ(ribbon->visibleKeyTips(),
              (QStringList{QStringLiteral("O"), QStringLiteral("P"), QStringLiteral("P")}));
    type(Qt::Key_P);
    EXPECT_EQ(triggered, QStringList{QStringLiteral("print")});
}

TEST_F(RibbonHost, EscapeGoesBackOneLevelAndOtherKeysDoNothing) {
    tapAlt();
    type(Qt::Key_S);
    type(Qt::Key_Z); // no such tip: ignored, tips stay
    EXPECT_EQ(ribbon->visibleKeyTips().size(), 3);
    type(Qt::Key_Escape);
    EXPECT_EQ(ribbon->visibleKeyTips().size(), 5);
    type(Qt::Key_Escape);
    EXPECT_FALSE(ribbon->keyTipsVisible());
    EXPECT_TRUE(triggered.isEmpty());
}

TEST_F(RibbonHost, QuickAccessTipsAreNumbered) {
    tapAlt();
    type(Qt::Key_2);
    EXPECT_EQ(triggered, QStringList{QStringLiteral("redo")});
}

TEST_F(RibbonHost, AnAltChordIsAShortcutAndShowsNoTips) {
    QAction* chord = make("chord");
    chord->setShortcut(QKeySequence(Qt::ALT | Qt::Key_I));
    window.addAction(chord);
    QTest::keyClick(&window, Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(triggered, QStringList{QStringLiteral("chord")});
    EXPECT_FALSE(ribbon->keyTipsVisible());
}

TEST_F(RibbonHost, TipsWorkOnARussianKeyboardLayout) {
    tapAlt();
    // "У" sits on the key of "E".
    QKeyEvent press(QEvent::KeyPress, 0x0423, Qt::NoModifier, QStringLiteral("у"));
    QCoreApplication::sendEvent(&window, &press);
    EXPECT_EQ(ribbon->currentIndex(), 1);
}

TEST_F(RibbonHost, AClickHidesTheTips) {
    tapAlt();
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 250));
    EXPECT_FALSE(ribbon->keyTipsVisible());
}

TEST_F(RibbonHost, TheApplicationButtonsTipOpensItsMenuAndAnEntrysTipItsSubmenu) {
    tapAlt();
    type(Qt::Key_F);
    RibbonApplicationMenu* menu = ribbon->applicationButton()->menu();
    ASSERT_TRUE(menu->isVisible());
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().front()->text(), QStringLiteral("&Session"));
    QTest::keyClick(menu, Qt::Key_F);
    QMenu* session = menu->actions().front()->menu();
    EXPECT_TRUE(session->isVisible());
    session->close();
    menu->close();
}

TEST_F(RibbonHost, ClickingALargeButtonRunsItsActionUnlessTheActionIsDisabled) {
    RibbonButton* open = ribbon->page(0)->buttons().front();
    QTest::mouseClick(open, Qt::LeftButton);
    EXPECT_EQ(triggered, QStringList{QStringLiteral("open")});
    open->action()->setEnabled(false);
    EXPECT_FALSE(open->isEnabled());
    QTest::mouseClick(open, Qt::LeftButton);
    EXPECT_EQ(triggered.size(), 1);
}

TEST_F(RibbonHost, CaptionsLoseTheirMnemonicsAndTwoWordsGoOverTwoLines) {
    const QList<RibbonButton*> buttons = ribbon->page(0)->buttons();
    EXPECT_EQ(buttons[0]->captionLines(),
              (QStringList{QStringLiteral("Open"), QStringLiteral("file")}));
    EXPECT_EQ(buttons[2]->captionLines(), QStringList{QStringLiteral("Post")});
    RibbonGroup* group = ribbon->page(1)->groups().front();
    RibbonButton* both = group->addLargeButton(make("both"), QStringLiteral("R&&D"), QString());
    EXPECT_EQ(both->captionLines(), QStringList{QStringLiteral("R&D")});
    // Every large button is as tall as the others; a two-line caption makes
    // its button no taller.
    EXPECT_EQ(buttons[0]->sizeHint().height(), buttons[1]->sizeHint().height());
}

TEST_F(RibbonHost, AScreenTipShowsTheHeaderAndDescriptionUntilTheMouseLeaves) {
    RibbonButton* print = ribbon->page(0)->buttons()[1];
    ribbon->screenTips()->setScreenTip(print->action(), QStringLiteral("Print"),
                                       QStringLiteral("Prints the file."));
    QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), print->mapToGlobal(QPoint(4, 4)));
    QCoreApplication::sendEvent(print, &help);
    ScreenTip* tip = ribbon->screenTip();
    ASSERT_TRUE(tip->isVisible());
    EXPECT_EQ(tip->header(), QStringLiteral("Print"));
    EXPECT_EQ(tip->description(), QStringLiteral("Prints the file."));
    // Under the ribbon, not over the buttons.
    EXPECT_GE(tip->geometry().top(), ribbon->mapToGlobal(QPoint(0, ribbon->height())).y());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(print, &leave);
    EXPECT_FALSE(tip->isVisible());
}

TEST_F(RibbonHost, EachSchemePaintsTheRibbonInItsOwnColours) {
    const auto frameColour = [this] {
        // The tab row to the right of the last tab.
        const QImage image = ribbon->grab().toImage();
        return image.pixelColor(image.width() - 4, ribbon->pageTop() - 4);
    };
    const QColor luna = frameColour();
    ribbon->setScheme(RibbonScheme::Obsidian);
    const QColor obsidian = frameColour();
    ribbon->setScheme(RibbonScheme::Silver);
    const QColor silver = frameColour();

    EXPECT_GT(luna.blue(), luna.red() + 15) << "Luna is blue";
    EXPECT_LT(obsidian.lightness(), 90) << "Obsidian is dark graphite";
    EXPECT_GT(silver.lightness(), 190) << "Silver is light";
    EXPECT_LT(std::abs(silver.blue() - silver.red()), 16) << "and grey";
}

TEST_F(RibbonHost, ClickingATabOpensItsPage) {
    const QPoint centre = ribbon->tabRect(1).center();
    QWidget* tabRow = ribbon->childAt(centre);
    ASSERT_NE(tabRow, nullptr);
    QTest::mouseClick(tabRow, Qt::LeftButton, Qt::NoModifier, tabRow->mapFrom(ribbon, centre));
    EXPECT_EQ(ribbon->currentIndex(), 1);
    EXPECT_TRUE(ribbon->page(1)->isVisible());
    EXPECT_FALSE(ribbon->page(0)->isVisible());
}

} // namespace
} // namespace vellarion::test

#include "ShellFixture.h"
#include "gui/ribbon/Ribbon.h"
#include "gui/ribbon/RibbonButton.h"
#include "gui/ribbon/RibbonPage.h"

#include <QAction>
#include <QTest>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

class SchemeSettings : public ShellTest {
protected:
    std::filesystem::path settingsFile() const { return dir / "vellarion.ini"; }

    // Clicks a scheme's button on the ribbon, as the user would.
    static void choose(TForm1& form, const char* scheme) {
        form.Ribbon1->setCurrentIndex(5);
        for (RibbonButton* button : form.Ribbon1->page(5)->buttons()) {
            if (button->action()->objectName() == QString::fromLatin1(scheme)) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        FAIL() << "no button for " << scheme;
    }
};

TEST_F(SchemeSettings, WithoutASettingsFileTheRibbonIsLunaAndNoFileIsCreated) {
    auto form = openMainWindow();
    EXPECT_EQ(form->Ribbon1->scheme(), RibbonScheme::Luna);
    QWidget elsewhere;
    activate(elsewhere);
    activate(*form);
    EXPECT_FALSE(std::filesystem::exists(settingsFile()));
}

TEST_F(SchemeSettings, AChosenSchemeIsWrittenAndAppliedAgainAtTheNextStart) {
    {
        auto form = openMainWindow();
        choose(*form, "Obsidian");
        EXPECT_EQ(form->Ribbon1->scheme(), RibbonScheme::Obsidian);
        EXPECT_EQ(readFile(settingsFile()), settingsText("[Preferences]\nLayout=Obsidian\n"));
        choose(*form, "Silver");
        EXPECT_EQ(readFile(settingsFile()), settingsText("[Preferences]\nLayout=Silver\n"));
    }
    auto restarted = openMainWindow();
    EXPECT_EQ(restarted->Ribbon1->scheme(), RibbonScheme::Silver);
}

TEST_F(SchemeSettings, AnEditedFileIsAppliedWhenTheWindowIsActivatedAgain) {
    auto form = openMainWindow();
    writeFile(settingsFile(), settingsText("[Preferences]\nLayout=Obsidian\n"));
    QWidget elsewhere;
    activate(elsewhere);
    EXPECT_EQ(form->Ribbon1->scheme(), RibbonScheme::Luna);
    activate(*form);
    EXPECT_EQ(form->Ribbon1->scheme(), RibbonScheme::Obsidian);

    writeFile(settingsFile(), "[Preferences]\nLayout=Luna\n");
    activate(elsewhere);
    activate(*form);
    EXPECT_EQ(form->Ribbon1->scheme(), RibbonScheme::Luna);
}

TEST_F(SchemeSettings, ValuesOtherThanTheThreeNamesLeaveTheSchemeAlone) {
    auto form = openMainWindow();
    choose(*form, "Silver");
    QWidget elsewhere;
    for (const char* content : {"[Preferences]\nLayout=obsidian\n", "[Preferences]\nLayout=\n",
                                "[Preferences]\nLayout=Obsidian, Luna\n",
                                "[preferences-old]\nLayout=Obsidian\n", "garbage\x01\x02"}) {
        SCOPED_TRACE(content);
        writeFile(settingsFile(), content);
        activate(elsewhere);
        activate(*form);
        EXPECT_EQ(form->Ribbon1->scheme(), RibbonScheme::Silver);
    }
}

TEST_F(SchemeSettings, AnUnwritableFileIsReportedAfterTheSchemeIsApplied) {
    writeFile(dir / "not-a-folder", "x");
    const QString path = QString::fromStdString((dir / "not-a-folder" / "vellarion.ini").string());
    context.settingsPath = path;
    auto form = openMainWindow();
    choose(*form, "Obsidian");
    EXPECT_EQ(form->Ribbon1->scheme(), RibbonScheme::Obsidian);
    // Caught where the command is connected, not by the application's net.
    EXPECT_TRUE(applicationErrors().shown().empty());
    ASSERT_EQ(dialogs.shown().size(), 1u);
    const FakeDialogs::Shown& box = dialogs.shown().front();
    EXPECT_EQ(box.text, QStringLiteral("Unable to write to ") + path + QLatin1Char('.'));
    EXPECT_EQ(box.title, QStringLiteral("Vellarion"));
    EXPECT_EQ(box.icon, Dialogs::Icon::Error);
    // The program goes on.
    choose(*form, "Luna");
    EXPECT_EQ(form->Ribbon1->scheme(), RibbonScheme::Luna);
    EXPECT_EQ(dialogs.shown().size(), 2u);
}

} // namespace
} // namespace vellarion::test

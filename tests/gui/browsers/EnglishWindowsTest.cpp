// Every window an English-speaking user meets, on a sample with every
// browser's data: not one Cyrillic letter in any text it shows, messages
// included; and the settings tab stores the language for the next start.
#include "WizardWindowFixture.h"
#include "core/text/Catalogue.h"
#include "gui/ribbon/Ribbon.h"
#include "gui/ribbon/RibbonButton.h"
#include "gui/ribbon/RibbonPage.h"
#include "gui/ribbon/ScreenTip.h"
#include "gui/shell/About.h"
#include "gui/shell/IniFile.h"
#include "gui/shell/Start.h"
#include "gui/update/Update.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

const QRegularExpression kCyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));

class EnglishWindows : public WizardWindowTest {
protected:
    EnglishWindows() : WizardWindowTest(SamplePrefixOptions{.browsers = allBrowsers()}) {
        setLanguage(Language::English);
    }
    ~EnglishWindows() override { setLanguage(Language::Russian); }

    // Every text the window and its controls show, each named by where it is.
    static QStringList shownTexts(const QWidget& window) {
        QStringList texts{QStringLiteral("title: ") + window.windowTitle()};
        for (const QWidget* w : window.findChildren<QWidget*>()) {
            const QString where = w->objectName() + QStringLiteral(": ");
            if (const auto* label = qobject_cast<const QLabel*>(w)) {
                texts << where + label->text();
            } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
                texts << where + button->text();
            } else if (const auto* box = qobject_cast<const QGroupBox*>(w)) {
                texts << where + box->title();
            } else if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
                texts << where + edit->text() << where + edit->placeholderText();
            } else if (const auto* list = qobject_cast<const QListWidget*>(w)) {
                texts << where + entries(list).join(u'|');
            } else if (const auto* rich = qobject_cast<const QPlainTextEdit*>(w)) {
                texts << where + rich->toPlainText();
            }
            texts << where + w->toolTip();
        }
        return texts;
    }

    void expectEnglish(const QStringList& texts, const QString& window) {
        for (const QString& text : texts) {
            EXPECT_FALSE(text.contains(kCyrillic))
                << window.toStdString() << " | " << text.toStdString();
        }
    }
};

TEST_F(EnglishWindows, NoWindowShowsACyrillicLetter) {
    form = std::make_unique<TForm1>(sampleContext);
    activate(*form);
    form->openDocument<TFStart>(sampleContext);
    // The ribbon: tabs, pages, groups, buttons, commands and their screen tips.
    Ribbon* ribbon = form->Ribbon1;
    QStringList ribbonTexts;
    for (int i = 0; i < ribbon->count(); ++i) {
        ribbonTexts << ribbon->tabCaption(i) << ribbon->page(i)->caption();
        for (RibbonGroup* group : ribbon->page(i)->groups()) {
            ribbonTexts << group->caption() << group->hint();
            for (RibbonButton* button : group->buttons()) {
                ribbonTexts << button->text();
            }
        }
    }
    QList<QAction*> commands = form->commands() + form->memberCommands();
    for (QAction* command : commands) {
        const ScreenTipsManager::Tip tip = form->ScreenTipsManager1->screenTip(command);
        ribbonTexts << command->text() << command->toolTip() << command->statusTip() << tip.header
                    << tip.description;
    }
    // Each language named in itself: the one Russian word the English ribbon keeps.
    ribbonTexts.removeAll(QStringLiteral("Русский"));
    ribbonTexts.removeAll(QStringLiteral("&Русский"));
    ribbonTexts.removeAll(QStringLiteral("Окна программы на русском языке"));
    expectEnglish(ribbonTexts, QStringLiteral("ribbon"));
    EXPECT_TRUE(ribbonTexts.contains(QStringLiteral("Backup all")))
        << ribbonTexts.join(u'|').toStdString();

    // Every window a command opens: the wizards of every browser in every
    // mode, the converter, the welcome window; and what they said on opening.
    int windows = 0;
    for (QAction* command : commands) {
        const QString category = command->property("category").toString();
        if (category == QStringLiteral("Software") || category == QStringLiteral("Web") ||
            category == QStringLiteral("Preferences")) {
            continue; // links, the update check, the program's end, the settings
        }
        command->trigger();
        ++windows;
    }
    EXPECT_GE(windows, 65);
    for (QMdiSubWindow* frame : form->documents()->subWindowList()) {
        QWidget* window = frame->widget();
        expectEnglish(shownTexts(*window), QString::fromLatin1(window->metaObject()->className()));
        // The longer English texts fit their controls as the Russian ones do.
        expectNoControlCoversAnother(*window);
    }
    expectEnglish(dialogs.texts(), QStringLiteral("messages"));
    Tf_About about;
    expectEnglish(shownTexts(about), QStringLiteral("About"));
    // The update check, offline: its window and what it says.
    sampleContext.makeHttpTransport = context.makeHttpTransport;
    dialogs.clear();
    form->action(QStringLiteral("Updates"))->trigger();
    ASSERT_NE(f_Update, nullptr);
    expectEnglish(shownTexts(*f_Update), QStringLiteral("Update"));
    expectEnglish(dialogs.texts(), QStringLiteral("update messages"));
    EXPECT_GE(webRequests, 1);
}

TEST_F(EnglishWindows, TheChosenLanguageIsStoredForTheNextStartAndSaidInIt) {
    form = std::make_unique<TForm1>(sampleContext);
    activate(*form);
    form->action(QStringLiteral("Russian"))->trigger();
    EXPECT_EQ(IniFile(settingsPath())
                  .readString(QStringLiteral("Preferences"), QStringLiteral("Language")),
              QStringLiteral("ru"));
    form->action(QStringLiteral("English"))->trigger();
    EXPECT_EQ(IniFile(settingsPath())
                  .readString(QStringLiteral("Preferences"), QStringLiteral("Language")),
              QStringLiteral("en"));
    EXPECT_EQ(
        dialogs.texts(),
        (QStringList{
            QStringLiteral("Окна будут на русском языке со следующего запуска программы."),
            QStringLiteral("The windows will be in English from the program's next start.")}));
}

} // namespace
} // namespace vellarion::test

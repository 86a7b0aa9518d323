#include "ShellFixture.h"
#include "gui/kit/DocumentFrame.h"
#include "gui/ribbon/Ribbon.h"
#include "gui/ribbon/RibbonApplicationMenu.h"
#include "gui/ribbon/RibbonButton.h"
#include "gui/ribbon/RibbonPage.h"
#include "gui/ribbon/ScreenTip.h"
#include "gui/shell/About.h"
#include "gui/shell/IniFile.h"
#include "gui/shell/Start.h"
#include "gui/shell/Startup.h"
#include "gui/update/Update.h"

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

QString u(const char16_t* text) {
    return QString::fromUtf16(text);
}

class MainWindow : public ShellTest {};

TEST_F(MainWindow, IsTheProgramsWindowWithItsCaptionSizeColourAndFont) {
    auto form = openMainWindow();
#ifdef _WIN32
    // On Windows itself the title names the program alone.
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Vellarion 2.1.2"));
#else
    // No Windows prefix in the shell's tests: this machine's own browsers
    // (of no known home), and the title says so.
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Vellarion 2.1.2 — this machine's own browsers"));
#endif
    EXPECT_EQ(form->size(), QSize(729, 703));
    // Tahoma 8 pt where it is installed, the system's own font at 8 pt elsewhere.
    const bool tahoma = QFontDatabase::families().contains(QStringLiteral("Tahoma"));
    EXPECT_EQ(QFontInfo(form->font()).family(),
              tahoma ? QStringLiteral("Tahoma")
                     : QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family());
    EXPECT_EQ(form->font().pointSize(), 8);
    // The client area below the ribbon shows the light grey background.
    const QImage client = form->documents()->grab().toImage();
    EXPECT_EQ(client.pixelColor(client.width() - 5, client.height() - 5), QColor(242, 242, 242));
}

struct ExpectedCommand {
    const char* name;
    const char* category;
    const char16_t* caption;
    const char16_t* hint;
    const char* shortcut;
    const char16_t* header;
};

const ExpectedCommand kCommandTable[] = {
    {"B_InternetExplorer", "Backup", u"&Internet Explorer",
     u"Резервное копирование настроек и данных Internet Explorer .", "Ctrl+I",
     u"Internet Explorer"},
    {"B_Firefox", "Backup", u"&Firefox", u"Архивация настроек и данных Firefox", "Ctrl+F",
     u"Firefox"},
    {"B_Chrome", "Backup", u"&Chrome", u"Архивация настроек и данных Chrome", "Ctrl+C", u"Chrome"},
    {"B_Opera", "Backup", u"&Opera", u"Архивация настроек и данных Opera.", "Ctrl+O", u"Opera"},
    {"B_Safari", "Backup", u"&Safari", u"Архивация настроек и данных Safari.", "Ctrl+S", u"Safari"},
    {"B_Flock", "Backup", u"F&lock", u"Архивация настроек и данных Flock.", "Ctrl+L", u"Flock"},
    {"R_InternetExplorer", "Restore", u"&Internet Explorer",
     u"Восстановление данных Internet Explorer", "Alt+I", u"Internet Explorer"},
    {"R_Firefox", "Restore", u"&Firefox", u"Восстановление данных Firefox.", "Alt+F", u"Firefox"},
    {"R_Chrome", "Restore", u"&Chrome", u"Восстановление данных Chrome.", "Alt+C", u"Chrome"},
    {"R_Opera", "Restore", u"&Opera", u"Восстановление данных Opera.", "Alt+O", u"Opera"},
    {"R_Safari", "Restore", u"&Safari", u"Восстановление данных Safari.", "Alt+S", u"Safari"},
    {"R_Flock", "Restore", u"F&lock", u"Восстановление данных Flock.", "Alt+L", u"Flock"},
    {"sB_InternetExplorer", "Safe Backup", u"&Internet Explorer",
     u"Полная архивация настроек и данных Internet Explorer .", "Ctrl+Shift+I",
     u"Internet Explorer"},
    {"sB_Firefox", "Safe Backup", u"&Firefox", u"Полная архивация настроек и данных Firefox.",
     "Ctrl+Shift+F", u"Firefox"},
    {"sB_Chrome", "Safe Backup", u"&Chrome", u"Полная архивация настроек и данных Chrome.",
     "Ctrl+Shift+C", u"Chrome"},
    {"sB_Opera", "Safe Backup", u"&Opera", u"Полная архивация настроек и данных Opera.",
     "Ctrl+Shift+O", u"Opera"},
    {"sB_Safari", "Safe Backup", u"&Safari", u"Резервное копирование настроек и данных Safari .",
     "Ctrl+Shift+S", u"Safari"},
    {"sB_Flock", "Safe Backup", u"F&lock", u"Резервное копирование настроек и данных Flock .",
     "Ctrl+Shift+L", u"Flock"},
    {"sR_InternetExplorer", "Safe Restore", u"&Internet Explorer",
     u"Полное восстановление настроек и данных Internet Explorer.", "Alt+Shift+I",
     u"Internet Explorer"},
    {"sR_Firefox", "Safe Restore", u"&Firefox", u"Полное восстановление настроек и данных Firefox.",
     "Alt+Shift+F", u"Firefox"},
    {"sR_Chrome", "Safe Restore", u"&Chrome", u"Полное восстановление настроек и данных Chrome.",
     "Alt+Shift+C", u"Chrome"},
    {"sR_Opera", "Safe Restore", u"&Opera", u"Полное восстановление настроек и данных Opera.",
     "Alt+Shift+O", u"Opera"},
    {"sR_Safari", "Safe Restore", u"&Safari", u"Полное восстановление настроек и данных Safari.",
     "Alt+Shift+S", u"Safari"},
    {"sR_Flock", "Safe Restore", u"F&lock", u"Полное восстановление настроек и данных Flock.",
     "Alt+Shift+L", u"Flock"},
    {"c_Opera", "Convert", u"Opera", u"Преобразование профиля Opera.", "", u"Opera"},
    {"Schedule", "Schedule", u"&Расписание",
     u"Резервные копии по расписанию: добавить, показать, удалить.", "", u"Расписание"},
    {"Luna", "Preferences", u"Luna", u"Luna interface (default)", "", u"Luna"},
    {"Obsidian", "Preferences", u"Obsidian", u"Obsidian interface", "", u"Obsidian"},
    {"Silver", "Preferences", u"Silver", u"Silver interface", "", u"Silver"},
    // Each language named in itself, in either language of the windows.
    {"Russian", "Preferences", u"Русский", u"Окна программы на русском языке", "", u"Русский"},
    {"English", "Preferences", u"English", u"The program's windows in English", "", u"English"},
    {"About", "Software", u"&О программе", u"О программе Vellarion", "", u"&О софте"},
    {"Updates", "Software", u"Проверка & обновлений", u"Проверить новую версию.", "Ctrl+U",
     u"Проверка наличия обновлений"},
    {"Contact", "Software", u"E-Mail", u"Написать нам по email.", "", u"E-Mail"},
    {"Close", "Software", u"&Выйти", u"Закрыть Vellarion", "Alt+F4", u"Exit"},
    {"Homepage", "Web", u"&Сайт", u"Посетить сайт Vellarion .", "", u"&Сайт"},
    {"Donate", "Web", u"Спасибо", u"Пожертвовать на развитие проекта Vellarion.", "", u"Спасибо"},
};

TEST_F(MainWindow, HasTheThirtySevenCommandsWithTheirTextsShortcutsAndScreenTips) {
    auto form = openMainWindow();
    ASSERT_EQ(form->commands().size(), 37);
    for (const ExpectedCommand& row : kCommandTable) {
        SCOPED_TRACE(row.name);
        QAction* command = form->action(QString::fromLatin1(row.name));
        ASSERT_NE(command, nullptr);
        EXPECT_EQ(command->property("category").toString(), QString::fromLatin1(row.category));
        EXPECT_EQ(command->text(), u(row.caption));
        EXPECT_EQ(command->toolTip(), u(row.hint));
        EXPECT_EQ(command->shortcut().toString(QKeySequence::PortableText),
                  QString::fromLatin1(row.shortcut));
        const ScreenTipsManager::Tip tip = form->ScreenTipsManager1->screenTip(command);
        EXPECT_EQ(tip.header, u(row.header));
        EXPECT_EQ(tip.description, u(row.hint));
        EXPECT_FALSE(command->icon().isNull());
    }
}

struct ExpectedTab {
    const char16_t* caption;
    const char* keyTip;
    const char* page;
    const char16_t* pageCaption;
    const char* group;
    const char16_t* groupCaption;
    const char* hint;
    // action:caption:keytip, for each button in order
    std::vector<std::tuple<const char*, const char16_t*, const char*>> buttons;
};

TEST_F(MainWindow, RibbonHasTheSevenTabsTheirGroupsAndButtonsInOrder) {
    auto form = openMainWindow();
    const std::vector<ExpectedTab> tabs = {
        {u"Архивировать",
         "B",
         "RibbonPage1",
         u"Архивация",
         "RibbonGroup1",
         u"Браузеры",
         "Select web browser you want to backup",
         {{"B_InternetExplorer", u"&Internet Explorer", "I"},
          {"B_Firefox", u"&Firefox", "F"},
          {"B_Chrome", u"&Chrome", "C"},
          {"B_Opera", u"&Opera", "O"},
          {"B_Safari", u"&Safari", "S"},
          {"B_Flock", u"F&lock", "F"}}},
        {u"Восстановить",
         "R",
         "RibbonPage2",
         u"Восстановить",
         "RibbonGroup2",
         u"Браузеры",
         "Select web browser you want to restore",
         {{"R_InternetExplorer", u"&Internet Explorer", "I"},
          {"R_Firefox", u"&Firefox", "F"},
          {"R_Chrome", u"&Chrome", "C"},
          {"R_Opera", u"&Opera", "O"},
          {"R_Safari", u"&Safari", "S"},
          {"R_Flock", u"F&lock", "L"}}},
        {u"Архивировать все",
         "A",
         "RibbonPage3",
         u"Архивировать все",
         "RibbonGroup3",
         u"Браузеры",
         "Select web browser you want to backup",
         {{"sB_InternetExplorer", u"&Internet Explorer", "I"},
          {"sB_Firefox", u"&Firefox", "F"},
          {"sB_Chrome", u"&Chrome", "C"},
          {"sB_Opera", u"&Opera", "O"},
          {"sB_Safari", u"&Safari", "S"},
          {"sB_Flock", u"F&lock", "L"}}},
        {u"Восстановить все",
         "E",
         "RibbonPage4",
         u"Восстановить все",
         "RibbonGroup4",
         u"Браузеры",
         "",
         {{"sR_InternetExplorer", u"&Internet Explorer", "I"},
          {"sR_Firefox", u"&Firefox", "F"},
          {"sR_Chrome", u"&Chrome", "C"},
          {"sR_Opera", u"&Opera", "O"},
          {"sR_Safari", u"&Safari", "S"},
          {"sR_Flock", u"F&lock", "L"}}},
        {u"Конвертировать",
         "C",
         "RibbonPage7",
         u"Конвертер",
         "RibbonGroup8",
         u"Profile",
         "",
         {{"c_Opera", u"&Opera", "O"}}},
        {u"Установки",
         "P",
         "RibbonPage5",
         u"Установки",
         "RibbonGroup5",
         u"Цветовая тема",
         "",
         {{"Luna", u"&Luna", "L"}, {"Obsidian", u"&Obsidian", "O"}, {"Silver", u"&Silver", "S"}}},
    };
    Ribbon* ribbon = form->Ribbon1;
    EXPECT_EQ(ribbon->caption(), QStringLiteral("Vellarion"));
    ASSERT_EQ(ribbon->count(), 7);
    for (int i = 0; i < 6; ++i) {
        const ExpectedTab& tab = tabs[static_cast<size_t>(i)];
        SCOPED_TRACE(tab.page);
        EXPECT_EQ(ribbon->tabCaption(i), u(tab.caption));
        EXPECT_EQ(ribbon->tabKeyTip(i), QString::fromLatin1(tab.keyTip));
        RibbonPage* page = ribbon->page(i);
        EXPECT_EQ(page->objectName(), QString::fromLatin1(tab.page));
        EXPECT_EQ(page->caption(), u(tab.pageCaption));
        // The four modes' tabs have the groups of today's browsers after it;
        // "Установки" has the languages and "Расписание".
        ASSERT_EQ(page->groups().size(), i < 4 ? 3 : i == 5 ? 3 : 1);
        if (i == 5) {
            RibbonGroup* schedule = page->groups()[2];
            EXPECT_EQ(schedule->objectName(), QStringLiteral("RibbonGroup10"));
            EXPECT_EQ(schedule->caption(), QString::fromUtf16(u"Расписание"));
            ASSERT_EQ(schedule->buttons().size(), 1);
            EXPECT_EQ(schedule->buttons()[0]->action()->objectName(), QStringLiteral("Schedule"));
            EXPECT_EQ(schedule->buttons()[0]->keyTip(), QStringLiteral("T"));
        }
        RibbonGroup* group = page->groups().front();
        EXPECT_EQ(group->objectName(), QString::fromLatin1(tab.group));
        EXPECT_EQ(group->caption(), u(tab.groupCaption));
        EXPECT_EQ(group->hint(), QString::fromLatin1(tab.hint));
        ASSERT_EQ(group->buttons().size(), static_cast<qsizetype>(tab.buttons.size()));
        for (size_t b = 0; b < tab.buttons.size(); ++b) {
            const auto& [name, caption, keyTip] = tab.buttons[b];
            RibbonButton* button = group->buttons()[static_cast<qsizetype>(b)];
            EXPECT_EQ(button->action()->objectName(), QString::fromLatin1(name));
            EXPECT_EQ(button->text(), u(caption));
            EXPECT_EQ(button->keyTip(), QString::fromLatin1(keyTip));
            EXPECT_EQ(button->kind(), RibbonButton::Kind::Large);
        }
    }

    RibbonGroup* languages = ribbon->page(5)->groups()[1];
    EXPECT_EQ(languages->objectName(), QStringLiteral("RibbonGroup9"));
    EXPECT_EQ(languages->caption(), u(u"Язык"));
    ASSERT_EQ(languages->buttons().size(), 2);
    EXPECT_EQ(languages->buttons()[0]->text(), u(u"&Русский"));
    EXPECT_EQ(languages->buttons()[0]->keyTip(), QStringLiteral("R"));
    EXPECT_EQ(languages->buttons()[1]->text(), QStringLiteral("&English"));
    EXPECT_EQ(languages->buttons()[1]->keyTip(), QStringLiteral("E"));

    // "Помощь" has two groups and is the tab the program opens on.
    EXPECT_EQ(ribbon->tabCaption(6), u(u"Помощь"));
    EXPECT_EQ(ribbon->tabKeyTip(6), QStringLiteral("H"));
    EXPECT_EQ(ribbon->currentIndex(), 6);
    RibbonPage* help = ribbon->page(6);
    EXPECT_EQ(help->objectName(), QStringLiteral("RibbonPage6"));
    EXPECT_EQ(help->caption(), u(u"Помощь"));
    ASSERT_EQ(help->groups().size(), 2);
    EXPECT_EQ(help->groups()[0]->objectName(), QStringLiteral("RibbonGroup6"));
    EXPECT_EQ(help->groups()[0]->caption(), u(u"О программе"));
    EXPECT_EQ(help->groups()[1]->objectName(), QStringLiteral("RibbonGroup7"));
    EXPECT_EQ(help->groups()[1]->caption(), QStringLiteral("Web"));
    QStringList shown;
    for (RibbonButton* button : help->buttons()) {
        shown << button->action()->objectName() + QLatin1Char(':') + button->text() +
                     QLatin1Char(':') + button->keyTip();
    }
    EXPECT_EQ(shown, (QStringList{u(u"About:&Авторы:A"), u(u"Updates:&Обновить:U"),
                                  u(u"Contact:&E-Mail:E"), u(u"Homepage:&Сайт:W"),
                                  u(u"Donate:С&пасибо:D")}));
}

TEST_F(MainWindow, QuickAccessBarAndApplicationMenu) {
    auto form = openMainWindow();
    const QList<RibbonButton*>& quick = form->Ribbon1->quickAccessButtons();
    ASSERT_EQ(quick.size(), 2);
    EXPECT_EQ(quick[0]->action()->objectName(), QStringLiteral("Updates"));
    EXPECT_EQ(quick[1]->action()->objectName(), QStringLiteral("Homepage"));
    for (RibbonButton* button : quick) {
        EXPECT_EQ(button->kind(), RibbonButton::Kind::Small);
        EXPECT_TRUE(button->captionLines().isEmpty()) << "icons only";
    }

    RibbonApplicationMenu* menu = form->Ribbon1->applicationButton()->menu();
    EXPECT_EQ(form->RibbonApplicationMenuBar1, menu);
    EXPECT_EQ(form->Ribbon1->applicationButton()->keyTip(), QStringLiteral("F"));
    ASSERT_EQ(menu->actions().size(), 1);
    QAction* entry = menu->actions().front();
    EXPECT_EQ(entry->text(), QStringLiteral("&ActionClientItem0"));
    EXPECT_EQ(menu->keyTipOf(entry), QStringLiteral("F"));
    ASSERT_NE(entry->menu(), nullptr);
    EXPECT_EQ(entry->menu()->actions(), QList<QAction*>{form->action(QStringLiteral("Close"))});
}

TEST_F(MainWindow, ShortcutsRunTheirCommands) {
    auto form = openMainWindow();
    for (QAction* command : form->commands()) {
        if (command->shortcut().isEmpty()) {
            continue;
        }
        SCOPED_TRACE(command->objectName().toStdString());
        QSignalSpy fired(command, &QAction::triggered);
        const QKeyCombination key = command->shortcut()[0];
        QTest::keyClick(form.get(), key.key(), key.keyboardModifiers());
        EXPECT_EQ(fired.count(), 1);
        activate(*form); // About or another window may have taken the focus
    }
    // Ctrl+Shift+I is the full backup of Internet Explorer, Alt+I its
    // selective restore: the same letter does not mix them up.
    QSignalSpy full(form->action(QStringLiteral("sB_InternetExplorer")), &QAction::triggered);
    QSignalSpy selective(form->action(QStringLiteral("R_InternetExplorer")), &QAction::triggered);
    QTest::keyClick(form.get(), Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(form.get(), Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(full.count(), 1);
    EXPECT_EQ(selective.count(), 1);
    EXPECT_FALSE(form->Ribbon1->keyTipsVisible());
}

TEST_F(MainWindow, KeyTipsReachTheCommandsOfEveryTab) {
    auto form = openMainWindow();
    QSignalSpy flock(form->action(QStringLiteral("sR_Flock")), &QAction::triggered);
    QTest::keyClick(form.get(), Qt::Key_Alt);
    QTest::keyClick(form.get(), Qt::Key_E);
    QTest::keyClick(form.get(), Qt::Key_L);
    EXPECT_EQ(flock.count(), 1);

    // Alt, H, A opens an About window.
    QTest::keyClick(form.get(), Qt::Key_Alt);
    QTest::keyClick(form.get(), Qt::Key_H);
    EXPECT_EQ(form->Ribbon1->visibleKeyTips(),
              (QStringList{QStringLiteral("A"), QStringLiteral("U"), QStringLiteral("E"),
                           QStringLiteral("W"), QStringLiteral("D")}));
    QTest::keyClick(form.get(), Qt::Key_A);
    ASSERT_FALSE(f_About.isNull());
    EXPECT_TRUE(f_About->isVisible());
}

TEST_F(MainWindow, DocumentWindowsOpenCaptionlessAtTheTopLeftAndFreeThemselves) {
    auto form = openMainWindow();
    auto first = std::make_unique<QWidget>();
    QPointer<QWidget> firstWindow = first.get();
    QPointer<QMdiSubWindow> firstFrame = form->showDocument(std::move(first));
    QPointer<QMdiSubWindow> secondFrame = form->showDocument(std::make_unique<QWidget>());

    for (QMdiSubWindow* frame : {firstFrame.data(), secondFrame.data()}) {
        EXPECT_EQ(frame->geometry(), QRect(0, 0, 599, 531));
        EXPECT_EQ(frame->widget()->geometry(), QRect(0, 0, 599, 531)) << "no frame, no title";
        EXPECT_TRUE(frame->windowFlags() & Qt::FramelessWindowHint);
    }
    // The newest covers the others.
    const QList<QMdiSubWindow*> stack = form->documents()->subWindowList(QMdiArea::StackingOrder);
    EXPECT_EQ(stack.back(), secondFrame.data());
    EXPECT_EQ(form->documents()->activeSubWindow(), secondFrame.data());

    // A window that closes itself takes its frame with it.
    firstWindow->close();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(firstFrame.isNull());
    EXPECT_TRUE(firstWindow.isNull());
    EXPECT_FALSE(secondFrame.isNull());
    EXPECT_EQ(form->documents()->subWindowList().size(), 1);
}

TEST_F(MainWindow, EveryAboutCommandOpensAnotherWindowAndEachClosesOnItsOwn) {
    auto form = openMainWindow();
    QAction* about = form->action(QStringLiteral("About"));
    about->trigger();
    QPointer<Tf_About> first = f_About;
    about->trigger();
    QPointer<Tf_About> second = f_About;
    ASSERT_FALSE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_NE(first.data(), second.data());
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(first->parentWidget(), nullptr) << "no owner";

    QTest::mouseClick(first->Button1, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "OK closes and frees the first";
    ASSERT_FALSE(second.isNull());
    EXPECT_TRUE(second->isVisible());
}

TEST_F(MainWindow, EveryUpdatesCommandRunsItsOwnCheckInANewWindow) {
    auto form = openMainWindow();
    QAction* updates = form->action(QStringLiteral("Updates"));
    updates->trigger();
    QPointer<Tf_Update> first = f_Update;
    updates->trigger();
    QPointer<Tf_Update> second = f_Update;
    ASSERT_FALSE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_NE(first.data(), second.data());
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(second->parentWidget(), nullptr) << "no owner";
    EXPECT_EQ(webRequests, 2) << "each window asked for the update page";
    // Offline, each check says so twice: the page failed, then it named nothing.
    const QString error = QStringLiteral("Cannot download data from the web");
    EXPECT_EQ(dialogs.texts(), (QStringList{error, error, error, error}));

    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(f_Update, second.data()) << "the newest window stays the one kept";
}

TEST_F(MainWindow, CloseAndClosingTheWindowEndTheProgram) {
    auto form = openMainWindow();
    form->action(QStringLiteral("Close"))->trigger();
    EXPECT_EQ(terminated, 1);
    form->close();
    EXPECT_EQ(terminated, 2);
}

TEST_F(MainWindow, AStartCheckClosesItOnceItIsUpAndEndsTheProgramWell) {
    // The start takes the language chosen on the settings tab.
    IniFile(settingsPath())
        .writeString(QStringLiteral("Preferences"), QStringLiteral("Language"),
                     QStringLiteral("en"));
    testing::internal::CaptureStdout();
    const int code = runProgram(dialogs, *services, settingsPath(), true);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(language(), Language::English);
    EXPECT_EQ(code, 0);
    EXPECT_NE(out.find("vellarion: the main window came up ("), std::string::npos) << out;
    EXPECT_TRUE(Form1.isNull() && FStart.isNull()) << "the windows are gone";
}

TEST_F(MainWindow, WebCommandsOpenTheMakersPages) {
    auto form = openMainWindow();
    LinkRecorder links;
    form->action(QStringLiteral("Homepage"))->trigger();
    form->action(QStringLiteral("Donate"))->trigger();
    form->action(QStringLiteral("Contact"))->trigger();
    EXPECT_EQ(links.links(),
              (QList<QUrl>{QUrl(QStringLiteral("https://vellarion.example.org/backup/")),
                           QUrl(QStringLiteral("https://vellarion.example.org/donate/")),
                           QUrl(QStringLiteral("mailto:support@vellarion.example.org"))}));
}

TEST_F(MainWindow, ActivationRemovesALeftOverUpdateFileButNotAFolderOfThatName) {
    TempDir work;
    const CurrentDirectory inside(QString::fromStdString(work.path().string()));
    writeFile(work / "Update.exe", "MZ");
    writeFile(work / "Other.exe", "MZ");
    auto form = openMainWindow();
    EXPECT_FALSE(std::filesystem::exists(work / "Update.exe"));
    EXPECT_TRUE(std::filesystem::exists(work / "Other.exe"));

    std::filesystem::create_directory(work / "Update.exe");
    writeFile(work / "Update.exe" / "inside.txt", "x");
    QWidget elsewhere;
    activate(elsewhere);
    activate(*form);
    EXPECT_TRUE(std::filesystem::is_directory(work / "Update.exe"));
    EXPECT_TRUE(std::filesystem::exists(work / "Update.exe" / "inside.txt"));
    EXPECT_TRUE(applicationErrors().shown().empty()) << "silently";
}

} // namespace
} // namespace vellarion::test

#include "gui/shell/Intro.h"

#include "core/Config.h"
#include "core/browsers/DataSet.h"
#include "core/services/SystemServices.h"
#include "core/text/Catalogue.h"
#include "gui/browsers/bFull_Chrome.h"
#include "gui/browsers/bFull_Firefox.h"
#include "gui/browsers/bFull_Flock.h"
#include "gui/browsers/bFull_IE.h"
#include "gui/browsers/bFull_Member.h"
#include "gui/browsers/bFull_Opera.h"
#include "gui/browsers/bFull_Safari.h"
#include "gui/browsers/b_Chrome.h"
#include "gui/browsers/b_Firefox.h"
#include "gui/browsers/b_Flock.h"
#include "gui/browsers/b_IE.h"
#include "gui/browsers/b_Member.h"
#include "gui/browsers/b_Opera.h"
#include "gui/browsers/b_Safari.h"
#include "gui/browsers/rFull_Chrome.h"
#include "gui/browsers/rFull_Firefox.h"
#include "gui/browsers/rFull_Flock.h"
#include "gui/browsers/rFull_IE.h"
#include "gui/browsers/rFull_Opera.h"
#include "gui/browsers/rFull_Safari.h"
#include "gui/browsers/r_Chrome.h"
#include "gui/browsers/r_Firefox.h"
#include "gui/browsers/r_Flock.h"
#include "gui/browsers/r_IE.h"
#include "gui/browsers/r_Opera.h"
#include "gui/browsers/r_Safari.h"
#include "gui/converter/c_Opera.h"
#include "gui/kit/Appearance.h"
#include "gui/kit/DocumentFrame.h"
#include "gui/kit/ErrorBox.h"
#include "gui/kit/Icons.h"
#include "gui/kit/Texts.h"
#include "gui/ribbon/Ribbon.h"
#include "gui/ribbon/RibbonApplicationMenu.h"
#include "gui/ribbon/RibbonButton.h"
#include "gui/ribbon/RibbonPage.h"
#include "gui/ribbon/ScreenTip.h"
#include "gui/schedule/ScheduleWindow.h"
#include "gui/shell/About.h"
#include "gui/shell/IniFile.h"
#include "gui/shell/Links.h"
#include "gui/update/Update.h"
#include "gui/wizards/DocumentForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace vellarion {

QPointer<TForm1> Form1;

namespace {

struct Command {
    const char* name;
    const char* category;
    const char* caption;
    const char* hint;
    const char* shortcut; // portable text, empty for none
    const char* screenTipHeader;
    IconId icon;
    void (TForm1::*handler)();
};

// The commands of the main window.
const Command kCommands[] = {
    {"B_InternetExplorer", "Backup", "&Internet Explorer",
     N_("Резервное копирование настроек и данных Internet Explorer ."), "Ctrl+I",
     "Internet Explorer", IconId::InternetExplorer, &TForm1::B_InternetExplorerExecute},
    {"B_Firefox", "Backup", "&Firefox", N_("Архивация настроек и данных Firefox"), "Ctrl+F",
     "Firefox", IconId::Firefox, &TForm1::B_FirefoxExecute},
    {"B_Chrome", "Backup", "&Chrome", N_("Архивация настроек и данных Chrome"), "Ctrl+C", "Chrome",
     IconId::Chrome, &TForm1::B_ChromeExecute},
    {"B_Opera", "Backup", "&Opera", N_("Архивация настроек и данных Opera."), "Ctrl+O", "Opera",
     IconId::Opera, &TForm1::B_OperaExecute},
    {"B_Safari", "Backup", "&Safari", N_("Архивация настроек и данных Safari."), "Ctrl+S", "Safari",
     IconId::Safari, &TForm1::B_SafariExecute},
    {"B_Flock", "Backup", "F&lock", N_("Архивация настроек и данных Flock."), "Ctrl+L", "Flock",
     IconId::Flock, &TForm1::B_FlockExecute},
    {"R_InternetExplorer", "Restore", "&Internet Explorer",
     N_("Восстановление данных Internet Explorer"), "Alt+I", "Internet Explorer",
     IconId::InternetExplorer, &TForm1::R_InternetExplorerExecute},
    {"R_Firefox", "Restore", "&Firefox", N_("Восстановление данных Firefox."), "Alt+F", "Firefox",
     IconId::Firefox, &TForm1::R_FirefoxExecute},
    {"R_Chrome", "Restore", "&Chrome", N_("Восстановление данных Chrome."), "Alt+C", "Chrome",
     IconId::Chrome, &TForm1::R_ChromeExecute},
    {"R_Opera", "Restore", "&Opera", N_("Восстановление данных Opera."), "Alt+O", "Opera",
     IconId::Opera, &TForm1::R_OperaExecute},
    {"R_Safari", "Restore", "&Safari", N_("Восстановление данных Safari."), "Alt+S", "Safari",
     IconId::Safari, &TForm1::R_SafariExecute},
    {"R_Flock", "Restore", "F&lock", N_("Восстановление данных Flock."), "Alt+L", "Flock",
     IconId::Flock, &TForm1::R_FlockExecute},
    {"sB_InternetExplorer", "Safe Backup", "&Internet Explorer",
     N_("Полная архивация настроек и данных Internet Explorer ."), "Ctrl+Shift+I",
     "Internet Explorer", IconId::InternetExplorer, &TForm1::sB_InternetExplorerExecute},
    {"sB_Firefox", "Safe Backup", "&Firefox", N_("Полная архивация настроек и данных Firefox."),
     "Ctrl+Shift+F", "Firefox", IconId::Firefox, &TForm1::sB_FirefoxExecute},
    {"sB_Chrome", "Safe Backup", "&Chrome", N_("Полная архивация настроек и данных Chrome."),
     "Ctrl+Shift+C", "Chrome", IconId::Chrome, &TForm1::sB_ChromeExecute},
    {"sB_Opera", "Safe Backup", "&Opera", N_("Полная архивация настроек и данных Opera."),
     "Ctrl+Shift+O", "Opera", IconId::Opera, &TForm1::sB_OperaExecute},
    {"sB_Safari", "Safe Backup", "&Safari", N_("Резервное копирование настроек и данных Safari ."),
     "Ctrl+Shift+S", "Safari", IconId::Safari, &TForm1::sB_SafariExecute},
    {"sB_Flock", "Safe Backup", "F&lock", N_("Резервное копирование настроек и данных Flock ."),
     "Ctrl+Shift+L", "Flock", IconId::Flock, &TForm1::sB_FlockExecute},
    {"sR_InternetExplorer", "Safe Restore", "&Internet Explorer",
     N_("Полное восстановление настроек и данных Internet Explorer."), "Alt+Shift+I",
     "Internet Explorer", IconId::InternetExplorer, &TForm1::sR_InternetExplorerExecute},
    {"sR_Firefox", "Safe Restore", "&Firefox",
     N_("Полное восстановление настроек и данных Firefox."), "Alt+Shift+F", "Firefox",
     IconId::Firefox, &TForm1::sR_FirefoxExecute},
    {"sR_Chrome", "Safe Restore", "&Chrome", N_("Полное восстановление настроек и данных Chrome."),
     "Alt+Shift+C", "Chrome", IconId::Chrome, &TForm1::sR_ChromeExecute},
    {"sR_Opera", "Safe Restore", "&Opera", N_("Полное восстановление настроек и данных Opera."),
     "Alt+Shift+O", "Opera", IconId::Opera, &TForm1::sR_OperaExecute},
    {"sR_Safari", "Safe Restore", "&Safari", N_("Полное восстановление настроек и данных Safari."),
     "Alt+Shift+S", "Safari", IconId::Safari, &TForm1::sR_SafariExecute},
    {"sR_Flock", "Safe Restore", "F&lock", N_("Полное восстановление настроек и данных Flock."),
     "Alt+Shift+L", "Flock", IconId::Flock, &TForm1::sR_FlockExecute},
    {"c_Opera", "Convert", "Opera", N_("Преобразование профиля Opera."), "", "Opera",
     IconId::Convert, &TForm1::c_OperaExecute},
    {"Schedule", "Schedule", N_("&Расписание"),
     N_("Резервные копии по расписанию: добавить, показать, удалить."), "", N_("Расписание"),
     IconId::Schedule, &TForm1::ScheduleExecute},
    {"Luna", "Preferences", "Luna", "Luna interface (default)", "", "Luna", IconId::Luna,
     &TForm1::LunaExecute},
    {"Obsidian", "Preferences", "Obsidian", "Obsidian interface", "", "Obsidian", IconId::Obsidian,
     &TForm1::ObsidianExecute},
    {"Silver", "Preferences", "Silver", "Silver interface", "", "Silver", IconId::Silver,
     &TForm1::SilverExecute},
    {"Russian", "Preferences", "Русский", "Окна программы на русском языке", "", "Русский",
     IconId::WebSite, &TForm1::RussianExecute},
    {"English", "Preferences", "English", "The program's windows in English", "", "English",
     IconId::WebSite, &TForm1::EnglishExecute},
    {"About", "Software", N_("&О программе"), N_("О программе Vellarion"), "", N_("&О софте"),
     IconId::About, &TForm1::AboutExecute},
    {"Updates", "Software", N_("Проверка & обновлений"), N_("Проверить новую версию."), "Ctrl+U",
     N_("Проверка наличия обновлений"), IconId::Update, &TForm1::UpdatesExecute},
    {"Contact", "Software", "E-Mail", N_("Написать нам по email."), "", "E-Mail", IconId::Email,
     &TForm1::ContactExecute},
    {"Close", "Software", N_("&Выйти"), N_("Закрыть Vellarion"), "Alt+F4", "Exit", IconId::Close,
     &TForm1::Action1Execute},
    {"Homepage", "Web", N_("&Сайт"), N_("Посетить сайт Vellarion ."), "", N_("&Сайт"),
     IconId::WebSite, &TForm1::HomepageExecute},
    {"Donate", "Web", N_("Спасибо"), N_("Пожертвовать на развитие проекта Vellarion."), "",
     N_("Спасибо"), IconId::Donate, &TForm1::DonateExecute},
};

// Today's browsers: each has a command in each of the four modes, named
// after it, with its own icon and key tip, in its family's group of the
// mode's tab.
struct Member {
    const BrowserDataSet& (*data)();
    const char* name; // of its commands: "B_" + name, ...
    IconId icon;
    bool firefoxFamily;
    const char* keyTip; // none of the first group's in any mode
};

const Member kMembers[] = {
    {edgeDataSet, "Edge", IconId::Edge, false, "E"},
    {braveDataSet, "Brave", IconId::Brave, false, "B"},
    {vivaldiDataSet, "Vivaldi", IconId::Vivaldi, false, "V"},
    {operaStableDataSet, "OperaStable", IconId::OperaStable, false, "P"},
    {operaGxDataSet, "OperaGX", IconId::OperaGx, false, "G"},
    {chromiumDataSet, "Chromium", IconId::Chromium, false, "M"},
    {libreWolfDataSet, "LibreWolf", IconId::LibreWolf, true, "W"},
    {waterfoxDataSet, "Waterfox", IconId::Waterfox, true, "A"},
    {floorpDataSet, "Floorp", IconId::Floorp, true, "R"},
    {zenDataSet, "Zen", IconId::Zen, true, "Z"},
};

// The four modes, in the order of their tabs.
struct Mode {
    const char* prefix; // of the commands' names
    const char* category;
    const char* hint; // %1: the browser
    bool full;
    Direction direction;
};

const Mode kModes[] = {
    {"B_", "Backup", N_("Архивация настроек и данных %1."), false, Direction::Backup},
    {"R_", "Restore", N_("Восстановление данных %1."), false, Direction::Restore},
    {"sB_", "Safe Backup", N_("Полная архивация настроек и данных %1."), true, Direction::Backup},
    {"sR_", "Safe Restore", N_("Полное восстановление настроек и данных %1."), true,
     Direction::Restore},
};

struct Button {
    const char* action;
    const char* caption; // as the ribbon shows it; null: the action's own
    const char* keyTip;
};

struct Group {
    const char* name;
    const char* caption;
    const char* hint;
    std::vector<Button> buttons;
};

struct Tab {
    const char* caption;
    const char* keyTip;
    const char* page;
    const char* pageCaption;
    std::vector<Group> groups;
};

// The ribbon's tabs, pages, groups and buttons, in order.
const std::vector<Tab>& ribbonLayout() {
    static const std::vector<Tab> tabs = {
        {N_("Архивировать"),
         "B",
         "RibbonPage1",
         N_("Архивация"),
         {{"RibbonGroup1",
           N_("Браузеры"),
           "Select web browser you want to backup",
           {{"B_InternetExplorer", nullptr, "I"},
            {"B_Firefox", nullptr, "F"},
            {"B_Chrome", nullptr, "C"},
            {"B_Opera", nullptr, "O"},
            {"B_Safari", nullptr, "S"},
            {"B_Flock", nullptr, "F"}}}}},
        {N_("Восстановить"),
         "R",
         "RibbonPage2",
         N_("Восстановить"),
         {{"RibbonGroup2",
           N_("Браузеры"),
           "Select web browser you want to restore",
           {{"R_InternetExplorer", nullptr, "I"},
            {"R_Firefox", nullptr, "F"},
            {"R_Chrome", nullptr, "C"},
            {"R_Opera", nullptr, "O"},
            {"R_Safari", nullptr, "S"},
            {"R_Flock", nullptr, "L"}}}}},
        {N_("Архивировать все"),
         "A",
         "RibbonPage3",
         N_("Архивировать все"),
         {{"RibbonGroup3",
           N_("Браузеры"),
           "Select web browser you want to backup",
           {{"sB_InternetExplorer", nullptr, "I"},
            {"sB_Firefox", nullptr, "F"},
            {"sB_Chrome", nullptr, "C"},
            {"sB_Opera", nullptr, "O"},
            {"sB_Safari", nullptr, "S"},
            {"sB_Flock", nullptr, "L"}}}}},
        {N_("Восстановить все"),
         "E",
         "RibbonPage4",
         N_("Восстановить все"),
         {{"RibbonGroup4",
           N_("Браузеры"),
           "",
           {{"sR_InternetExplorer", nullptr, "I"},
            {"sR_Firefox", nullptr, "F"},
            {"sR_Chrome", nullptr, "C"},
            {"sR_Opera", nullptr, "O"},
            {"sR_Safari", nullptr, "S"},
            {"sR_Flock", nullptr, "L"}}}}},
        {N_("Конвертировать"),
         "C",
         "RibbonPage7",
         N_("Конвертер"),
         {{"RibbonGroup8", "Profile", "", {{"c_Opera", "&Opera", "O"}}}}},
        {N_("Установки"),
         "P",
         "RibbonPage5",
         N_("Установки"),
         {{"RibbonGroup5",
           N_("Цветовая тема"),
           "",
           {{"Luna", "&Luna", "L"}, {"Obsidian", "&Obsidian", "O"}, {"Silver", "&Silver", "S"}}},
          {"RibbonGroup9",
           N_("Язык"),
           "",
           {{"Russian", "&Русский", "R"}, {"English", "&English", "E"}}},
          {"RibbonGroup10",
           N_("Расписание"),
           "Backups that run themselves",
           {{"Schedule", nullptr, "T"}}}}},
        {N_("Помощь"),
         "H",
         "RibbonPage6",
         N_("Помощь"),
         {{"RibbonGroup6",
           N_("О программе"),
           "",
           {{"About", N_("&Авторы"), "A"},
            {"Updates", N_("&Обновить"), "U"},
            {"Contact", "&E-Mail", "E"}}},
          {"RibbonGroup7",
           "Web",
           "",
           {{"Homepage", N_("&Сайт"), "W"}, {"Donate", N_("С&пасибо"), "D"}}}}},
    };
    return tabs;
}

constexpr int kStartTab = 6;

QString text(const char* source) {
    return shownText(source);
}

} // namespace

TForm1::TForm1(ShellContext& context, QWidget* parent) : QMainWindow(parent), context_(context) {
    setObjectName(QStringLiteral("Form1"));
    // The title bar says which data the windows work on, unless it is this
    // Windows itself.
    QString caption = QString::fromLatin1(config::kMainWindowCaption);
    if (const EnvironmentInfo info = context_.services.environmentInfo();
        info.kind != EnvironmentInfo::Kind::Windows) {
        caption += QStringLiteral(" — ") + QString::fromStdString(info.describe());
    }
    setWindowTitle(caption);
    setFont(programFont());
    setBackground(this, formColor());

    Actions = new QObject(this);
    Actions->setObjectName(QStringLiteral("Actions"));
    Ribbon1 = new Ribbon(this);
    Ribbon1->setObjectName(QStringLiteral("Ribbon1"));
    Ribbon1->setCaption(QString::fromLatin1(config::kApplicationTitle));
    ScreenTipsManager1 = Ribbon1->screenTips();
    ScreenTipsManager1->setObjectName(QStringLiteral("ScreenTipsManager1"));
    setMenuWidget(Ribbon1);

    documents_ = new QMdiArea(this);
    documents_->setObjectName(QStringLiteral("documents"));
    documents_->setBackground(formColor());
    documents_->setFrameShape(QFrame::NoFrame);
    documents_->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    setCentralWidget(documents_);

    createCommands();
    createMemberCommands();
    createRibbon();
    resize(729, 703);
}

TForm1::~TForm1() {
    // Top-level windows opened from here have no owner; they go with us.
    for (const QPointer<QWidget>& window : windows_) {
        delete window.data();
    }
}

QAction* TForm1::action(const QString& name) const {
    for (const QList<QAction*>* list : {&commands_, &memberCommands_}) {
        for (QAction* command : *list) {
            if (command->objectName() == name) {
                return command;
            }
        }
    }
    return nullptr;
}

void TForm1::createMemberCommands() {
    for (const Mode& mode : kModes) {
        for (const Member& member : kMembers) {
            const BrowserDataSet& data = member.data();
            const QString shown = qText(data.shownName());
            auto* command = new QAction(Actions);
            command->setObjectName(QString::fromLatin1(mode.prefix) +
                                   QString::fromLatin1(member.name));
            command->setProperty("category", QString::fromLatin1(mode.category));
            command->setText(shown);
            command->setToolTip(text(mode.hint).arg(shown));
            command->setStatusTip(command->toolTip());
            command->setIcon(programIcon(member.icon));
            Ribbon1->screenTips()->setScreenTip(command, shown, command->toolTip());
            const bool firefoxFamily = member.firefoxFamily;
            connect(command, &QAction::triggered, this, [this, &data, mode, firefoxFamily] {
                runGuarded(context_.dialogs, this, [this, &data, mode, firefoxFamily] {
                    if (mode.full) {
                        openDocument<Tffb_Member>(context(), data, mode.direction);
                    } else if (mode.direction == Direction::Restore && firefoxFamily) {
                        openDocument<Tfr_Member>(context(), data);
                    } else {
                        openDocument<Tfb_Member>(context(), data, mode.direction);
                    }
                });
            });
            addAction(command);
            memberCommands_.append(command);
        }
    }
}

void TForm1::createCommands() {
    for (const Command& row : kCommands) {
        auto* command = new QAction(Actions);
        command->setObjectName(QString::fromLatin1(row.name));
        command->setProperty("category", QString::fromLatin1(row.category));
        command->setText(text(row.caption));
        command->setToolTip(text(row.hint));
        command->setStatusTip(text(row.hint));
        command->setIcon(programIcon(row.icon));
        if (row.shortcut[0] != '\0') {
            command->setShortcut(
                QKeySequence(QString::fromLatin1(row.shortcut), QKeySequence::PortableText));
        }
        Ribbon1->screenTips()->setScreenTip(command, text(row.screenTipHeader), text(row.hint));
        connect(command, &QAction::triggered, this, [this, handler = row.handler] {
            runGuarded(context_.dialogs, this, [this, handler] { (this->*handler)(); });
        });
        // Shortcuts work wherever the focus is in the main window.
        addAction(command);
        commands_.append(command);
    }
}

namespace {

// The families' groups of a mode's tab, beside the first: one row button for
// each of today's browsers.
void addMemberGroups(TForm1& form, RibbonPage* page, const char* pageName) {
    const std::string_view name(pageName);
    for (size_t m = 0; m < std::size(kModes); ++m) {
        if (name != "RibbonPage" + std::to_string(m + 1)) {
            continue;
        }
        for (const bool firefox : {false, true}) {
            RibbonGroup* group =
                page->addGroup(firefox ? QStringLiteral("Firefox") : QStringLiteral("Chromium"),
                               firefox ? QStringLiteral("Browsers of the Firefox family")
                                       : QStringLiteral("Browsers of the Chromium family"));
            group->setObjectName(
                QStringLiteral("RibbonGroup%1%2")
                    .arg(m + 1)
                    .arg(firefox ? QStringLiteral("Firefox") : QStringLiteral("Chromium")));
            for (const Member& member : kMembers) {
                if (member.firefoxFamily != firefox) {
                    continue;
                }
                QAction* command = form.action(QString::fromLatin1(kModes[m].prefix) +
                                               QString::fromLatin1(member.name));
                group->addRowButton(command, command->text(), QString::fromLatin1(member.keyTip));
            }
        }
    }
}

} // namespace

void TForm1::createRibbon() {
    for (const Tab& tab : ribbonLayout()) {
        RibbonPage* page = Ribbon1->addTab(text(tab.caption), QString::fromLatin1(tab.keyTip),
                                           text(tab.pageCaption));
        page->setObjectName(QString::fromLatin1(tab.page));
        for (const Group& group : tab.groups) {
            RibbonGroup* ribbonGroup =
                page->addGroup(text(group.caption), QString::fromLatin1(group.hint));
            ribbonGroup->setObjectName(QString::fromLatin1(group.name));
            for (const Button& button : group.buttons) {
                QAction* command = action(QString::fromLatin1(button.action));
                const QString caption =
                    button.caption != nullptr ? text(button.caption) : command->text();
                ribbonGroup->addLargeButton(command, caption, QString::fromLatin1(button.keyTip));
            }
        }
        addMemberGroups(*this, page, tab.page);
    }
    Ribbon1->addQuickAccessAction(action(QStringLiteral("Updates")));
    Ribbon1->addQuickAccessAction(action(QStringLiteral("Homepage")));

    RibbonApplicationButton* applicationButton = Ribbon1->applicationButton();
    applicationButton->setIcon(programIcon(IconId::Emblem));
    applicationButton->setKeyTip(QStringLiteral("F"));
    RibbonApplicationMenuBar1 = applicationButton->menu();
    RibbonApplicationMenuBar1->setObjectName(QStringLiteral("RibbonApplicationMenuBar1"));
    QMenu* entry = applicationButton->menu()->addEntry(QStringLiteral("&ActionClientItem0"),
                                                       QStringLiteral("F"));
    entry->addAction(action(QStringLiteral("Close")));

    Ribbon1->setCurrentIndex(kStartTab);
}

QMdiSubWindow* TForm1::showDocument(std::unique_ptr<QWidget> window) {
    auto frame = std::make_unique<DocumentFrame>(std::move(window));
    QMdiSubWindow* shown = documents_->addSubWindow(frame.release());
    shown->move(0, 0);
    shown->show();
    documents_->setActiveSubWindow(shown);
    return shown;
}

QWidget* TForm1::showWindow(std::unique_ptr<QWidget> window) {
    QWidget* shown = window.release();
    shown->setAttribute(Qt::WA_DeleteOnClose);
    // Forget windows that are gone before keeping the new one.
    std::erase_if(windows_, [](const QPointer<QWidget>& w) { return w.isNull(); });
    windows_.emplace_back(shown);
    shown->show();
    shown->raise();
    shown->activateWindow();
    return shown;
}

void TForm1::FormActivate() {
    // A downloaded update that was left behind; a folder of that name stays.
    QFile::remove(QStringLiteral("Update.exe"));

    const QString layout = IniFile(context_.settingsPath)
                               .readString(QStringLiteral("Preferences"), QStringLiteral("Layout"));
    for (RibbonScheme scheme : {RibbonScheme::Obsidian, RibbonScheme::Silver, RibbonScheme::Luna}) {
        if (layout == schemeName(scheme)) {
            Ribbon1->setScheme(scheme);
        }
    }
}

void TForm1::chooseScheme(RibbonScheme scheme) {
    Ribbon1->setScheme(scheme);
    IniFile(context_.settingsPath)
        .writeString(QStringLiteral("Preferences"), QStringLiteral("Layout"), schemeName(scheme));
}

void TForm1::chooseLanguage(Language language) {
    IniFile(context_.settingsPath)
        .writeString(QStringLiteral("Preferences"), QStringLiteral("Language"),
                     QString::fromLatin1(languageName(language)));
    // Every window's texts are set as it is made: the next start shows them.
    context_.dialogs.showMessage(
        this,
        language == Language::Russian
            ? QStringLiteral("Окна будут на русском языке со следующего запуска программы.")
            : QStringLiteral("The windows will be in English from the program's next start."));
}

void TForm1::RussianExecute() {
    chooseLanguage(Language::Russian);
}

void TForm1::EnglishExecute() {
    chooseLanguage(Language::English);
}

void TForm1::LunaExecute() {
    chooseScheme(RibbonScheme::Luna);
}

void TForm1::ObsidianExecute() {
    chooseScheme(RibbonScheme::Obsidian);
}

void TForm1::SilverExecute() {
    chooseScheme(RibbonScheme::Silver);
}

void TForm1::AboutExecute() {
    f_About = openWindow<Tf_About>();
}

void TForm1::ContactExecute() {
    openLink(contactLink());
}

void TForm1::Action1Execute() {
    context_.terminate();
}

void TForm1::HomepageExecute() {
    openLink(makerPage(config::kBackupPage));
}

void TForm1::DonateExecute() {
    openLink(makerPage(config::kDonatePage));
}

void TForm1::UpdatesExecute() {
    f_Update =
        openWindow<Tf_Update>(context_.dialogs, nullptr,
                              Tf_Update::Seams{context_.makeHttpTransport, {}, context_.terminate});
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        FormActivate();
    }
    QMainWindow::changeEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program, whatever else is open.
    event->accept();
    context_.terminate();
}

void TForm1::showEvent(QShowEvent* event) {
    if (!placed_) {
        centreOnScreen(this);
        placed_ = true;
    }
    QMainWindow::showEvent(event);
}

// The commands below open the wizard and converter windows. Each
// becomes one line once its window exists, for example
//     openDocument<Tfb_Firefox>(context());
// Until then they open nothing.
void TForm1::B_InternetExplorerExecute() {
    openDocument<Tfb_IE>(context());
}
void TForm1::B_FirefoxExecute() {
    openDocument<Tfb_Firefox>(context());
}
void TForm1::B_ChromeExecute() {
    openDocument<Tfb_Chrome>(context());
}
void TForm1::B_OperaExecute() {
    openDocument<Tfb_Opera>(context());
}
void TForm1::B_SafariExecute() {
    openDocument<Tfb_Safari>(context());
}
void TForm1::B_FlockExecute() {
    openDocument<Tfb_Flock>(context());
}
void TForm1::R_InternetExplorerExecute() {
    openDocument<Tfr_IE>(context());
}
void TForm1::R_FirefoxExecute() {
    openDocument<Tfr_Firefox>(context());
}
void TForm1::R_ChromeExecute() {
    openDocument<Tfr_Chrome>(context());
}
void TForm1::R_OperaExecute() {
    openDocument<Tfr_Opera>(context());
}
void TForm1::R_SafariExecute() {
    openDocument<Tfr_Safari>(context());
}
void TForm1::R_FlockExecute() {
    openDocument<Tfr_Flock>(context());
}
void TForm1::sB_InternetExplorerExecute() {
    openDocument<Tffb_IE>(context());
}
void TForm1::sB_FirefoxExecute() {
    openDocument<Tffb_Firefox>(context());
}
void TForm1::sB_ChromeExecute() {
    openDocument<Tffb_Chrome>(context());
}
void TForm1::sB_OperaExecute() {
    openDocument<Tffb_Opera>(context());
}
void TForm1::sB_SafariExecute() {
    openDocument<Tffb_Safari>(context());
}
void TForm1::sB_FlockExecute() {
    openDocument<Tffb_Flock>(context());
}
void TForm1::sR_InternetExplorerExecute() {
    openDocument<Tffr_IE>(context());
}
void TForm1::sR_FirefoxExecute() {
    openDocument<Tffr_Firefox>(context());
}
void TForm1::sR_ChromeExecute() {
    openDocument<Tffr_Chrome>(context());
}
void TForm1::sR_OperaExecute() {
    openDocument<Tffr_Opera>(context());
}
void TForm1::sR_SafariExecute() {
    openDocument<Tffr_Safari>(context());
}
void TForm1::sR_FlockExecute() {
    openDocument<Tffr_Flock>(context());
}
void TForm1::ScheduleExecute() {
    openWindow<Tf_Schedule>(context_.dialogs, ScheduleStore::standard(),
                            commandLineBeside(runningProgram()));
}

void TForm1::c_OperaExecute() {
    openDocument<Tfc_Opera>(context());
}

} // namespace vellarion

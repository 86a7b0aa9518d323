#include "gui/shell/Intro.h"

#include "core/Config.h"
#include "core/browsers/DataSet.h"
#include "core/services/SystemServices.h"
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
    const char16_t* caption;
    const char16_t* hint;
    const char* shortcut; // portable text, empty for none
    const char16_t* screenTipHeader;
    IconId icon;
    void (TForm1::*handler)();
};

// The commands of the main window.
const Command kCommands[] = {
    {"B_InternetExplorer", "Backup", u"&Internet Explorer",
     u"Резервное копирование настроек и данных Internet Explorer .", "Ctrl+I", u"Internet Explorer",
     IconId::InternetExplorer, &TForm1::B_InternetExplorerExecute},
    {"B_Firefox", "Backup", u"&Firefox", u"Архивация настроек и данных Firefox", "Ctrl+F",
     u"Firefox", IconId::Firefox, &TForm1::B_FirefoxExecute},
    {"B_Chrome", "Backup", u"&Chrome", u"Архивация настроек и данных Chrome", "Ctrl+C", u"Chrome",
     IconId::Chrome, &TForm1::B_ChromeExecute},
    {"B_Opera", "Backup", u"&Opera", u"Архивация настроек и данных Opera.", "Ctrl+O", u"Opera",
     IconId::Opera, &TForm1::B_OperaExecute},
    {"B_Safari", "Backup", u"&Safari", u"Архивация настроек и данных Safari.", "Ctrl+S", u"Safari",
     IconId::Safari, &TForm1::B_SafariExecute},
    {"B_Flock", "Backup", u"F&lock", u"Архивация настроек и данных Flock.", "Ctrl+L", u"Flock",
     IconId::Flock, &TForm1::B_FlockExecute},
    {"R_InternetExplorer", "Restore", u"&Internet Explorer",
     u"Восстановление данных Internet Explorer", "Alt+I", u"Internet Explorer",
     IconId::InternetExplorer, &TForm1::R_InternetExplorerExecute},
    {"R_Firefox", "Restore", u"&Firefox", u"Восстановление данных Firefox.", "Alt+F", u"Firefox",
     IconId::Firefox, &TForm1::R_FirefoxExecute},
    {"R_Chrome", "Restore", u"&Chrome", u"Восстановление данных Chrome.", "Alt+C", u"Chrome",
     IconId::Chrome, &TForm1::R_ChromeExecute},
    {"R_Opera", "Restore", u"&Opera", u"Восстановление данных Opera.", "Alt+O", u"Opera",
     IconId::Opera, &TForm1::R_OperaExecute},
    {"R_Safari", "Restore", u"&Safari", u"Восстановление данных Safari.", "Alt+S", u"Safari",
     IconId::Safari, &TForm1::R_SafariExecute},
    {"R_Flock", "Restore", u"F&lock", u"Восстановление данных Flock.", "Alt+L", u"Flock",
     IconId::Flock, &TForm1::R_FlockExecute},
    {"sB_InternetExplorer", "Safe Backup", u"&Internet Explorer",
     u"Полная архивация настроек и данных Internet Explorer .", "Ctrl+Shift+I",
     u"Internet Explorer", IconId::InternetExplorer, &TForm1::sB_InternetExplorerExecute},
    {"sB_Firefox", "Safe Backup", u"&Firefox", u"Полная архивация настроек и данных Firefox.",
     "Ctrl+Shift+F", u"Firefox", IconId::Firefox, &TForm1::sB_FirefoxExecute},
    {"sB_Chrome", "Safe Backup", u"&Chrome", u"Полная архивация настроек и данных Chrome.",
     "Ctrl+Shift+C", u"Chrome", IconId::Chrome, &TForm1::sB_ChromeExecute},
    {"sB_Opera", "Safe Backup", u"&Opera", u"Полная архивация настроек и данных Opera.",
     "Ctrl+Shift+O", u"Opera", IconId::Opera, &TForm1::sB_OperaExecute},
    {"sB_Safari", "Safe Backup", u"&Safari", u"Резервное копирование настроек и данных Safari .",
     "Ctrl+Shift+S", u"Safari", IconId::Safari, &TForm1::sB_SafariExecute},
    {"sB_Flock", "Safe Backup", u"F&lock", u"Резервное копирование настроек и данных Flock .",
     "Ctrl+Shift+L", u"Flock", IconId::Flock, &TForm1::sB_FlockExecute},
    {"sR_InternetExplorer", "Safe Restore", u"&Internet Explorer",
     u"Полное восстановление настроек и данных Internet Explorer.", "Alt+Shift+I",
     u"Internet Explorer", IconId::InternetExplorer, &TForm1::sR_InternetExplorerExecute},
    {"sR_Firefox", "Safe Restore", u"&Firefox", u"Полное восстановление настроек и данных Firefox.",
     "Alt+Shift+F", u"Firefox", IconId::Firefox, &TForm1::sR_FirefoxExecute},
    {"sR_Chrome", "Safe Restore", u"&Chrome", u"Полное восстановление настроек и данных Chrome.",
     "Alt+Shift+C", u"Chrome", IconId::Chrome, &TForm1::sR_ChromeExecute},
    {"sR_Opera", "Safe Restore", u"&Opera", u"Полное восстановление настроек и данных Opera.",
     "Alt+Shift+O", u"Opera", IconId::Opera, &TForm1::sR_OperaExecute},
    {"sR_Safari", "Safe Restore", u"&Safari", u"Полное восстановление настроек и данных Safari.",
     "Alt+Shift+S", u"Safari", IconId::Safari, &TForm1::sR_SafariExecute},
    {"sR_Flock", "Safe Restore", u"F&lock", u"Полное восстановление настроек и данных Flock.",
     "Alt+Shift+L", u"Flock", IconId::Flock, &TForm1::sR_FlockExecute},
    {"c_Opera", "Convert", u"Opera", u"Преобразование профиля Opera.", "", u"Opera",
     IconId::Convert, &TForm1::c_OperaExecute},
    {"Schedule", "Schedule", u"&Расписание",
     u"Резервные копии по расписанию: добавить, показать, удалить.", "", u"Расписание (Schedule)",
     IconId::Schedule, &TForm1::ScheduleExecute},
    {"Luna", "Preferences", u"Luna", u"Luna interface (default)", "", u"Luna", IconId::Luna,
     &TForm1::LunaExecute},
    {"Obsidian", "Preferences", u"Obsidian", u"Obsidian interface", "", u"Obsidian",
     IconId::Obsidian, &TForm1::ObsidianExecute},
    {"Silver", "Preferences", u"Silver", u"Silver interface", "", u"Silver", IconId::Silver,
     &TForm1::SilverExecute},
    {"About", "Software", u"&О программе", u"О программе Vellarion", "", u"&О софте", IconId::About,
     &TForm1::AboutExecute},
    {"Updates", "Software", u"Проверка & обновлений", u"Проверить новую версию.", "Ctrl+U",
     u"Проверка наличия обновлений", IconId::Update, &TForm1::UpdatesExecute},
    {"Contact", "Software", u"E-Mail", u"Написать нам по email.", "", u"E-Mail", IconId::Email,
     &TForm1::ContactExecute},
    {"Close", "Software", u"&Выйти", u"Закрыть Vellarion", "Alt+F4", u"Exit", IconId::Close,
     &TForm1::Action1Execute},
    {"Homepage", "Web", u"&Сайт", u"Посетить сайт Vellarion .", "", u"&Сайт", IconId::WebSite,
     &TForm1::HomepageExecute},
    {"Donate", "Web", u"Спасибо", u"Пожертвовать на развитие проекта Vellarion.", "", u"Спасибо",
     IconId::Donate, &TForm1::DonateExecute},
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
    const char16_t* hint; // %1: the browser
    bool full;
    Direction direction;
};

const Mode kModes[] = {
    {"B_", "Backup", u"Архивация настроек и данных %1.", false, Direction::Backup},
    {"R_", "Restore", u"Восстановление данных %1.", false, Direction::Restore},
    {"sB_", "Safe Backup", u"Полная архивация настроек и данных %1.", true, Direction::Backup},
    {"sR_", "Safe Restore", u"Полное восстановление настроек и данных %1.", true,
     Direction::Restore},
};

struct Button {
    const char* action;
    const char16_t* caption; // as the ribbon shows it; null: the action's own
    const char* keyTip;
};

struct Group {
    const char* name;
    const char16_t* caption;
    const char* hint;
    std::vector<Button> buttons;
};

struct Tab {
    const char16_t* caption;
    const char* keyTip;
    const char* page;
    const char16_t* pageCaption;
    std::vector<Group> groups;
};

// The ribbon's tabs, pages, groups and buttons, in order.
const std::vector<Tab>& ribbonLayout() {
    static const std::vector<Tab> tabs = {
        {u"Архивировать",
         "B",
         "RibbonPage1",
         u"Архивация",
         {{"RibbonGroup1",
           u"Браузеры",
           "Select web browser you want to backup",
           {{"B_InternetExplorer", nullptr, "I"},
            {"B_Firefox", nullptr, "F"},
            {"B_Chrome", nullptr, "C"},
            {"B_Opera", nullptr, "O"},
            {"B_Safari", nullptr, "S"},
            {"B_Flock", nullptr, "F"}}}}},
        {u"Восстановить",
         "R",
         "RibbonPage2",
         u"Восстановить",
         {{"RibbonGroup2",
           u"Браузеры",
           "Select web browser you want to restore",
           {{"R_InternetExplorer", nullptr, "I"},
            {"R_Firefox", nullptr, "F"},
            {"R_Chrome", nullptr, "C"},
            {"R_Opera", nullptr, "O"},
            {"R_Safari", nullptr, "S"},
            {"R_Flock", nullptr, "L"}}}}},
        {u"Архивировать все",
         "A",
         "RibbonPage3",
         u"Архивировать все",
         {{"RibbonGroup3",
           u"Браузеры",
           "Select web browser you want to backup",
           {{"sB_InternetExplorer", nullptr, "I"},
            {"sB_Firefox", nullptr, "F"},
            {"sB_Chrome", nullptr, "C"},
            {"sB_Opera", nullptr, "O"},
            {"sB_Safari", nullptr, "S"},
            {"sB_Flock", nullptr, "L"}}}}},
        {u"Восстановить все",
         "E",
         "RibbonPage4",
         u"Восстановить все",
         {{"RibbonGroup4",
           u"Браузеры",
           "",
           {{"sR_InternetExplorer", nullptr, "I"},
            {"sR_Firefox", nullptr, "F"},
            {"sR_Chrome", nullptr, "C"},
            {"sR_Opera", nullptr, "O"},
            {"sR_Safari", nullptr, "S"},
            {"sR_Flock", nullptr, "L"}}}}},
        {u"Конвертировать",
         "C",
         "RibbonPage7",
         u"Конвертер",
         {{"RibbonGroup8", u"Profile", "", {{"c_Opera", u"&Opera", "O"}}}}},
        {u"Установки",
         "P",
         "RibbonPage5",
         u"Установки",
         {{"RibbonGroup5",
           u"Цветовая тема",
           "",
           {{"Luna", u"&Luna", "L"}, {"Obsidian", u"&Obsidian", "O"}, {"Silver", u"&Silver", "S"}}},
          {"RibbonGroup9",
           u"Расписание",
           "Backups that run themselves",
           {{"Schedule", nullptr, "T"}}}}},
        {u"Помощь",
         "H",
         "RibbonPage6",
         u"Помощь",
         {{"RibbonGroup6",
           u"О программе",
           "",
           {{"About", u"&Авторы", "A"},
            {"Updates", u"&Обновить", "U"},
            {"Contact", u"&E-Mail", "E"}}},
          {"RibbonGroup7",
           u"Web",
           "",
           {{"Homepage", u"&Сайт", "W"}, {"Donate", u"С&пасибо", "D"}}}}},
    };
    return tabs;
}

constexpr int kStartTab = 6;

QString text(const char16_t* utf16) {
    return QString::fromUtf16(utf16);
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

// Renders the program's windows offscreen to PNG files, for the README and
// for looking at the drawing without a display:
//     vellarion-screenshots DIR
#include "core/services/SamplePrefix.h"
#include "core/services/ServicesFactory.h"
#include "core/text/Catalogue.h"
#include "gui/browsers/bFull_Chrome.h"
#include "gui/browsers/bFull_Firefox.h"
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
#include "gui/kit/Dialogs.h"
#include "gui/kit/Icons.h"
#include "gui/kit/ShellContext.h"
#include "gui/ribbon/Ribbon.h"
#include "gui/ribbon/RibbonApplicationMenu.h"
#include "gui/ribbon/RibbonButton.h"
#include "gui/ribbon/RibbonPage.h"
#include "gui/ribbon/ScreenTip.h"
#include "gui/shell/About.h"
#include "gui/shell/Application.h"
#include "gui/shell/Intro.h"
#include "gui/shell/Start.h"
#include "gui/shell/pBar.h"
#include "gui/wizards/DirectoryEdit.h"

#include <QAction>
#include <QDir>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdlib>

namespace {

bool save(const QPixmap& picture, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    if (!picture.save(path)) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    QTextStream(stdout) << path << '\n';
    return true;
}

// The main window with a top-level popup (a screen tip) drawn where it shows.
QPixmap withPopup(QWidget& window, QWidget& popup) {
    QPixmap picture = window.grab();
    QPainter painter(&picture);
    painter.drawPixmap(popup.mapToGlobal(QPoint(0, 0)) - window.mapToGlobal(QPoint(0, 0)),
                       popup.grab());
    return picture;
}

// Message boxes and folder choices answered at once, the message printed:
// a window that finds no data of its browser (the Windows build works on
// the machine's own browsers, not the demo sandbox) must not stop the run in
// a modal box nobody can see.
class UnattendedDialogs : public vellarion::Dialogs {
public:
    Answer message(QWidget*, const QString& text, Icon, Buttons buttons, const QString&) override {
        QTextStream(stderr) << "message: " << text << '\n';
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    std::optional<QString> askPassword(QWidget*, const QString&) override { return {}; }
};

} // namespace

int main(int argc, char** argv) {
    vellarion::preferOffscreenPlatform();
    UnattendedDialogs dialogs;
    vellarion::Application app(argc, argv, dialogs);
    // In the environment's language, or the one asked for.
    vellarion::setLanguage(vellarion::languageOfEnvironment());
    if (argc == 4 && std::string_view(argv[2]) == "--language" &&
        vellarion::parseLanguage(argv[3])) {
        vellarion::setLanguage(*vellarion::parseLanguage(argv[3]));
    } else if (argc != 2) {
        QTextStream(stderr) << "usage: vellarion-screenshots DIR [--language ru|en]\n";
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        QTextStream(stderr) << "cannot create " << dir.path() << '\n';
        return 1;
    }

    using namespace vellarion;
    QTemporaryDir settings;
    Tf_pBar progress;
    const std::unique_ptr<SystemServices> services = makeSystemServices();
    ShellContext context{dialogs, progress, *services,
                         settings.filePath(QStringLiteral("vellarion.ini")), [] {}};
    TForm1 form(context);
    form.show();
    form.openDocument<TFStart>(context);
    QCoreApplication::processEvents();

    bool ok = true;
    const std::pair<RibbonScheme, const char*> schemes[] = {
        {RibbonScheme::Luna, "main-luna.png"},
        {RibbonScheme::Obsidian, "main-obsidian.png"},
        {RibbonScheme::Silver, "main-silver.png"},
    };
    for (const auto& [scheme, file] : schemes) {
        form.Ribbon1->setScheme(scheme);
        QCoreApplication::processEvents();
        ok &= save(form.grab(), dir, QString::fromLatin1(file));
    }
    form.Ribbon1->setScheme(RibbonScheme::Luna);

    // The four modes' tabs with the groups of today's browsers.
    for (int tab = 0; tab < 4; ++tab) {
        form.Ribbon1->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        ok &= save(form.grab(), dir, QStringLiteral("main-tab%1.png").arg(tab + 1));
    }

    // Key tips as a tap of Alt shows them, then those of the first tab's
    // buttons after typing its tip.
    form.Ribbon1->showKeyTips();
    QCoreApplication::processEvents();
    ok &= save(form.Ribbon1->grab(), dir, QStringLiteral("ribbon-keytips.png"));
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    QCoreApplication::sendEvent(&form, &typed);
    QCoreApplication::processEvents();
    ok &= save(form.Ribbon1->grab(), dir, QStringLiteral("ribbon-keytips-page.png"));
    form.Ribbon1->hideKeyTips();

    // A screen tip over a button of the first page.
    form.Ribbon1->setCurrentIndex(0);
    QCoreApplication::processEvents();
    RibbonButton* button = form.Ribbon1->page(0)->buttons().value(1);
    if (button != nullptr) {
        // The mouse rests on the button: it is lit, and its tip shows.
        button->setAttribute(Qt::WA_UnderMouse, true);
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(button, &help);
        QCoreApplication::processEvents();
        ok &= save(withPopup(form, *form.Ribbon1->screenTip()), dir,
                   QStringLiteral("ribbon-screentip.png"));
        form.Ribbon1->hideScreenTip();
        button->setAttribute(Qt::WA_UnderMouse, false);
    }

    // The application menu, open on its entry.
    RibbonApplicationMenu* menu = form.Ribbon1->applicationButton()->menu();
    form.Ribbon1->applicationButton()->showMenu();
    QCoreApplication::processEvents();
    if (!menu->actions().isEmpty()) {
        menu->setActiveAction(menu->actions().front());
        QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &right);
        QCoreApplication::processEvents();
    }
    {
        QPixmap picture = withPopup(form, *menu);
        QMenu* entry = menu->actions().isEmpty() ? nullptr : menu->actions().front()->menu();
        if (entry != nullptr && entry->isVisible()) {
            QPainter painter(&picture);
            painter.drawPixmap(entry->mapToGlobal(QPoint(0, 0)) - form.mapToGlobal(QPoint(0, 0)),
                               entry->grab());
        }
        ok &= save(picture, dir, QStringLiteral("ribbon-menu.png"));
    }
    menu->close();

    TFStart welcome(context);
    welcome.show();
    QCoreApplication::processEvents();
    ok &= save(welcome.grab(), dir, QStringLiteral("welcome.png"));

    progress.showProgress();
    progress.setPosition(60);
    QCoreApplication::processEvents();
    ok &= save(progress.grab(), dir, QStringLiteral("progress.png"));
    progress.hideProgress();

    Tf_About about;
    about.show();
    QCoreApplication::processEvents();
    ok &= save(about.grab(), dir, QStringLiteral("about.png"));

    // The wizard windows on the demo sandbox (built in a temporary folder):
    // the full windows idle, in the middle of a backup, and done.
    {
        QTemporaryDir sandbox;
        EnvironmentOptions demo;
        demo.prefix = pathToUtf8(ensureDemoSandbox(pathFromUtf8(sandbox.path().toStdString())));
        const std::unique_ptr<SystemServices> demoServices = makeSystemServices(demo);
        ShellContext demoContext{dialogs, progress, *demoServices,
                                 settings.filePath(QStringLiteral("vellarion.ini")), [] {}};
        TForm1 demoForm(demoContext);
        demoForm.show();
        auto* backup = demoForm.openDocument<Tffb_Firefox>(demoContext);
        QCoreApplication::processEvents();
        ok &= save(backup->grab(), dir, QStringLiteral("full-backup-firefox.png"));

        const QString backups = sandbox.filePath(QStringLiteral("backups"));
        QDir().mkpath(backups);
        backup->JvDirectoryEdit2->setText(backups);
        backup->DoCompressFile(QString::fromStdString(
            backup->state().ffpath + "\\Profiles\\abcd1234.default\\places.sqlite"));
        backup->DoProgress(6144, 10240);
        ok &= save(backup->grab(), dir, QStringLiteral("full-backup-firefox-running.png"));
        backup->Button2Click();
        QCoreApplication::processEvents();
        ok &= save(backup->grab(), dir, QStringLiteral("full-backup-firefox-done.png"));

        auto* restore = demoForm.openDocument<Tffr_Flock>(demoContext);
        QCoreApplication::processEvents();
        ok &= save(restore->grab(), dir, QStringLiteral("full-restore-flock.png"));
        ok &= save(demoForm.grab(), dir, QStringLiteral("main-full-restore-flock.png"));

        // The selective windows over the same sandbox; a backup made in the
        // first gives the restore windows an archive to list.
        const QString location = QDir::toNativeSeparators(backups);
        const auto shoot = [&](SelectiveWizardForm& window, const QString& file) {
            window.show();
            QCoreApplication::processEvents();
            if (window.ListBox2 != nullptr) {
                window.JvDirectoryEdit2->setText(location);
            }
            QCoreApplication::processEvents();
            ok &= save(window.grab(), dir, file);
        };
        {
            Tfb_Firefox selective(demoContext);
            shoot(selective, QStringLiteral("firefox-backup.png"));
            selective.JvDirectoryEdit2->setText(location);
            selective.Button2Click();
            QCoreApplication::processEvents();
            ok &= save(selective.grab(), dir, QStringLiteral("firefox-backup-done.png"));
        }
        Tfr_Firefox firefoxRestore(demoContext);
        shoot(firefoxRestore, QStringLiteral("firefox-restore.png"));
        firefoxRestore.Button2Click();
        QCoreApplication::processEvents();
        ok &= save(firefoxRestore.grab(), dir, QStringLiteral("firefox-restore-done.png"));
        Tfb_Flock flockBackup(demoContext);
        shoot(flockBackup, QStringLiteral("flock-backup.png"));
        Tfr_Flock flockRestore(demoContext);
        shoot(flockRestore, QStringLiteral("flock-restore.png"));
        Tfb_Chrome chromeBackup(demoContext);
        Tfr_Chrome chromeRestore(demoContext);
        Tfb_Safari safariBackup(demoContext);
        Tfr_Safari safariRestore(demoContext);
        const std::pair<SelectiveWizardForm*, const char*> selective[] = {
            {&chromeBackup, "chrome-backup.png"},
            {&chromeRestore, "chrome-restore.png"},
            {&safariBackup, "safari-backup.png"},
            {&safariRestore, "safari-restore.png"},
        };
        for (const auto& [window, file] : selective) {
            shoot(*window, QString::fromLatin1(file));
        }
        const std::pair<FullWizardForm*, const char*> full[] = {
            {demoForm.openDocument<Tffb_Chrome>(demoContext), "full-backup-chrome.png"},
            {demoForm.openDocument<Tffr_Chrome>(demoContext), "full-restore-chrome.png"},
            {demoForm.openDocument<Tffb_Safari>(demoContext), "full-backup-safari.png"},
            {demoForm.openDocument<Tffr_Safari>(demoContext), "full-restore-safari.png"},
        };
        for (const auto& [window, file] : full) {
            QCoreApplication::processEvents();
            ok &= save(window->grab(), dir, QString::fromLatin1(file));
        }

        // Today's browsers: each one's backup window, and the other three
        // windows of one member of each family.
        const std::pair<const BrowserDataSet& (*)(), const char*> members[] = {
            {edgeDataSet, "edge"},           {braveDataSet, "brave"},
            {vivaldiDataSet, "vivaldi"},     {operaStableDataSet, "opera-stable"},
            {operaGxDataSet, "opera-gx"},    {chromiumDataSet, "chromium"},
            {libreWolfDataSet, "librewolf"}, {waterfoxDataSet, "waterfox"},
            {floorpDataSet, "floorp"},       {zenDataSet, "zen"},
        };
        for (const auto& [data, name] : members) {
            Tfb_Member memberBackup(demoContext, data(), Direction::Backup);
            shoot(memberBackup, QStringLiteral("%1-backup.png").arg(QString::fromLatin1(name)));
        }
        Tfb_Member edgeRestore(demoContext, edgeDataSet(), Direction::Restore);
        shoot(edgeRestore, QStringLiteral("edge-restore.png"));
        Tfr_Member zenRestore(demoContext, zenDataSet());
        shoot(zenRestore, QStringLiteral("zen-restore.png"));
        const std::pair<FullWizardForm*, const char*> memberFull[] = {
            {demoForm.openDocument<Tffb_Member>(demoContext, edgeDataSet(), Direction::Backup),
             "full-backup-edge.png"},
            {demoForm.openDocument<Tffb_Member>(demoContext, zenDataSet(), Direction::Restore),
             "full-restore-zen.png"},
        };
        for (const auto& [window, file] : memberFull) {
            QCoreApplication::processEvents();
            ok &= save(window->grab(), dir, QString::fromLatin1(file));
        }

        // Opera's four wizards, the full restore asking for an installation
        // folder as it does when the data is not found, and the converter
        // before and after a conversion.
        Tfb_Opera operaBackup(demoContext);
        shoot(operaBackup, QStringLiteral("opera-backup.png"));
        Tfr_Opera operaRestore(demoContext);
        shoot(operaRestore, QStringLiteral("opera-restore.png"));
        auto* operaFull = demoForm.openDocument<Tffb_Opera>(demoContext);
        QCoreApplication::processEvents();
        ok &= save(operaFull->grab(), dir, QStringLiteral("full-backup-opera.png"));
        auto* operaFullRestore = demoForm.openDocument<Tffr_Opera>(demoContext);
        QCoreApplication::processEvents();
        operaFullRestore->Label2->show();
        operaFullRestore->Edit1->show();
        operaFullRestore->Edit1->setText(QStringLiteral("Opera 10"));
        ok &= save(operaFullRestore->grab(), dir, QStringLiteral("full-restore-opera-folder.png"));
        auto* converter = demoForm.openDocument<Tfc_Opera>(demoContext);
        QCoreApplication::processEvents();
        ok &= save(converter->grab(), dir, QStringLiteral("converter-opera.png"));
        if (auto* conversion = converter->findChildren<QRadioButton*>().value(4)) {
            conversion->click();
            converter->Button2Click();
            QCoreApplication::processEvents();
            ok &= save(converter->grab(), dir, QStringLiteral("converter-opera-done.png"));
        }

        // Internet Explorer's four windows; its backup runs through the
        // pauses between the registry saves.
        {
            Tfb_IE ieBackup(demoContext);
            shoot(ieBackup, QStringLiteral("ie-backup.png"));
            ieBackup.JvDirectoryEdit2->setText(location);
            ieBackup.Button2Click();
            QCoreApplication::processEvents();
            ok &= save(ieBackup.grab(), dir, QStringLiteral("ie-backup-done.png"));
        }
        Tfr_IE ieRestore(demoContext);
        shoot(ieRestore, QStringLiteral("ie-restore.png"));
        auto* ieFullBackup = demoForm.openDocument<Tffb_IE>(demoContext);
        QCoreApplication::processEvents();
        ok &= save(ieFullBackup->grab(), dir, QStringLiteral("full-backup-ie.png"));
        auto* ieFullRestore = demoForm.openDocument<Tffr_IE>(demoContext);
        QCoreApplication::processEvents();
        ok &= save(ieFullRestore->grab(), dir, QStringLiteral("full-restore-ie.png"));
    }

    // The icons at the two sizes the program uses.
    const IconId icons[] = {IconId::InternetExplorer,
                            IconId::Firefox,
                            IconId::Chrome,
                            IconId::Opera,
                            IconId::Safari,
                            IconId::Flock,
                            IconId::Edge,
                            IconId::Brave,
                            IconId::Vivaldi,
                            IconId::OperaStable,
                            IconId::OperaGx,
                            IconId::Chromium,
                            IconId::LibreWolf,
                            IconId::Waterfox,
                            IconId::Floorp,
                            IconId::Zen,
                            IconId::Convert,
                            IconId::About,
                            IconId::Update,
                            IconId::WebSite,
                            IconId::Close,
                            IconId::Donate,
                            IconId::Email,
                            IconId::Luna,
                            IconId::Obsidian,
                            IconId::Silver,
                            IconId::Emblem};
    QPixmap sheet(static_cast<int>(std::size(icons)) * 40 + 8, 68);
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        int x = 8;
        for (IconId id : icons) {
            programIcon(id).paint(&painter, QRect(x, 8, 32, 32));
            programIcon(id).paint(&painter, QRect(x + 8, 46, 16, 16));
            x += 40;
        }
    }
    ok &= save(sheet, dir, QStringLiteral("icons.png"));

    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}

#pragma once

#include "core/text/Catalogue.h"
#include "gui/kit/ShellContext.h"
#include "gui/ribbon/RibbonScheme.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <utility>
#include <vector>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace vellarion {

class Ribbon;
class ScreenTipsManager;

// The main window: the ribbon with the program's 34 commands, and the four of
// each of today's browsers, over the area where the document windows
// (welcome, wizards, converter) open.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(ShellContext& context, QWidget* parent = nullptr);
    ~TForm1() override;

    ShellContext& context() const { return context_; }

    Ribbon* Ribbon1;
    // Holds the commands; each is a QAction named after the command, its
    // category in the "category" property.
    QObject* Actions;
    QMenu* RibbonApplicationMenuBar1;
    ScreenTipsManager* ScreenTipsManager1;
    QMdiArea* documents() const { return documents_; }

    // The command of that name.
    QAction* action(const QString& name) const;
    QList<QAction*> commands() const { return commands_; }
    // The commands of today's browsers: backup, restore, full backup and full
    // restore of each ("B_Edge", "R_Edge", "sB_Edge", "sR_Edge", ...).
    QList<QAction*> memberCommands() const { return memberCommands_; }

    // Shows a window as a document inside the main window, on top of the
    // others: no title bar, at (0, 0), 599 x 531, freed when it closes.
    QMdiSubWindow* showDocument(std::unique_ptr<QWidget> window);
    template <class Window, class... Args> Window* openDocument(Args&&... args) {
        return create<Window>(&TForm1::showDocument, std::forward<Args>(args)...);
    }

    // Shows an independent top-level window with no owner (About, update);
    // it frees itself when closed, or goes with the main window.
    QWidget* showWindow(std::unique_ptr<QWidget> window);
    template <class Window, class... Args> Window* openWindow(Args&&... args) {
        return create<Window>(&TForm1::showWindow, std::forward<Args>(args)...);
    }

    // Runs on every activation of the main window.
    void FormActivate();

    // The command handlers.
    void B_InternetExplorerExecute();
    void B_FirefoxExecute();
    void B_ChromeExecute();
    void B_OperaExecute();
    void B_SafariExecute();
    void B_FlockExecute();
    void R_InternetExplorerExecute();
    void R_FirefoxExecute();
    void R_ChromeExecute();
    void R_OperaExecute();
    void R_SafariExecute();
    void R_FlockExecute();
    void sB_InternetExplorerExecute();
    void sB_FirefoxExecute();
    void sB_ChromeExecute();
    void sB_OperaExecute();
    void sB_SafariExecute();
    void sB_FlockExecute();
    void sR_InternetExplorerExecute();
    void sR_FirefoxExecute();
    void sR_ChromeExecute();
    void sR_OperaExecute();
    void sR_SafariExecute();
    void sR_FlockExecute();
    void c_OperaExecute();
    void RussianExecute();
    void EnglishExecute();
    void ScheduleExecute();
    void LunaExecute();
    void ObsidianExecute();
    void SilverExecute();
    void AboutExecute();
    void UpdatesExecute();
    void ContactExecute();
    void Action1Execute();
    void HomepageExecute();
    void DonateExecute();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    template <class Window, class Show, class... Args> Window* create(Show show, Args&&... args) {
        auto window = std::make_unique<Window>(std::forward<Args>(args)...);
        Window* created = window.get();
        (this->*show)(std::move(window));
        return created;
    }

    void createCommands();
    void createMemberCommands();
    void createRibbon();
    // Applies a scheme and keeps it in the settings file.
    void chooseScheme(RibbonScheme scheme);
    // Stored for the next start, said in the language chosen.
    void chooseLanguage(Language language);

    ShellContext& context_;
    QMdiArea* documents_;
    QList<QAction*> commands_;
    QList<QAction*> memberCommands_;
    std::vector<QPointer<QWidget>> windows_;
    bool placed_ = false;
};

extern QPointer<TForm1> Form1;

} // namespace vellarion

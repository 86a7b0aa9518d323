#pragma once

#include "core/wizards/Job.h"
#include "core/wizards/WizardState.h"

#include <QColor>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <utility>

class QLabel;
class QMdiSubWindow;
class QPushButton;

namespace vellarion {

class DirectoryEdit;
class Picture;
struct BrowserDataSet;
struct ShellContext;
struct WizardTexts;

// What every wizard window shares, full and selective alike: the fixed
// client area, the background, the browser's banner and icon with the
// title, the section bars, the backup location edit, Next, Cancel and
// Finish, and the handlers that behave the same in both families. It is
// the front end its job reports to (JobReporter): messages go through the
// Dialogs seam, the hourglass is the application's override cursor, the
// codec's events become DoCompressFile, DoDecompressFile and DoProgress,
// the selective jobs' steps go to the shared progress window, and a job
// that ended well shows Finish over Next.
//
// The window lives inside the main window as a document. Each time it
// becomes the active document FormActivate runs again (not when the program
// merely gets the focus back from a message box or another program); on its
// own, outside the main window, it is activated once, when it first shows.
// Next runs the job synchronously; errors of the job are let through to the
// application's standard error box.
class WizardForm : public QWidget, protected JobReporter {
    Q_OBJECT
public:
    ~WizardForm() override;

    Picture* Image1;                 // background over the whole client area
    Picture* Image5;                 // the browser's banner
    Picture* Image6;                 // the browser's icon, 48 x 48
    QLabel* Label1;                  // the title, large navy text
    DirectoryEdit* JvDirectoryEdit2; // the backup location
    QPushButton* Button2;            // "Вперед >": Next
    QPushButton* Button3;            // "Отмена": Cancel
    QPushButton* Button1;            // "Готово": Finish, in Next's place once shown

    const BrowserDataSet& data() const { return data_; }
    Direction direction() const { return direction_; }
    // The documented state fields (`ffpath`, `backups`, ...).
    WizardState& state() { return state_; }

    // Every activation: the title set again and Finish hidden; the families
    // then run their job's activation.
    virtual void FormActivate();
    // Next: the backup or the restore.
    virtual void Button2Click() = 0;
    // Closing frees the window.
    virtual void FormClose(QCloseEvent* event);
    // Finish and Cancel end the program.
    virtual void Button1Click();
    virtual void Button3Click();
    // The codec's events: a file about to be packed or unpacked (they
    // repaint the window at once), and the bytes done of it.
    virtual void DoCompressFile(const QString& Filename);
    virtual void DoDecompressFile(const QString& Filename);
    virtual void DoProgress(qint32 Position, qint32 Total);

protected:
    // How a family dresses the shared window.
    struct Look {
        QColor background;
        QString backgroundPicture; // a resource drawn over the whole client area
        int titlePointSize;
    };

    // Builds the window's background and header. The family then places
    // its own controls, with placeLocationEdit and placeButtons where they
    // come in its tab order.
    WizardForm(ShellContext& context, const BrowserDataSet& data, const WizardTexts& texts,
               Direction direction, const Look& look, QWidget* parent);

    // The title of the window's direction.
    QString title() const;

    // A control of the window, named and placed where designed.
    template <class Control, class... Args>
    Control* place(const char* name, const QRect& rect, Args&&... args) {
        auto* control = new Control(std::forward<Args>(args)..., this);
        control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(rect);
        return control;
    }
    // A bold heading of a section.
    QLabel* placeHeading(const char* name, const QString& text, const QRect& rect);
    // A section: the bar across the window at `y` and its bold heading.
    Picture* placeSection(const char* barName, const char* labelName, const QString& heading, int y,
                          QLabel*& label);
    // The backup location edit, showing its placeholder.
    void placeLocationEdit(const QRect& rect);
    // Next and Cancel at the bottom right, Finish hidden in Next's place.
    void placeButtons();

    // Repaints at once, not waiting for the event loop that the job holds,
    // but at most about 30 times a second.
    void repaintThrottled();

    ShellContext& context() const { return context_; }

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

    // JobReporter.
    void showMessage(const std::string& text) override;
    void progressShow() override;
    void progressStep(int amount) override;
    void progressSet(int position) override;
    void progressHide() override;
    void fileStarted(const std::string& path) override;
    void fileProgress(std::int32_t position, std::int32_t total) override;
    void busy(bool on) override;
    void jobFinished() override;

private:
    void documentActivated(QMdiSubWindow* window);

    ShellContext& context_;
    const BrowserDataSet& data_;
    const WizardTexts& texts_;
    Direction direction_;
    WizardState state_;
    QPointer<QMdiSubWindow> frame_;
    bool shownOnce_ = false;
    bool active_ = false;
    QElapsedTimer lastRepaint_;
};

// A text of the data sets (UTF-8) as Qt takes it.
QString qText(std::string_view utf8);

} // namespace vellarion

#pragma once

#include "wizards/FullJob.h"
#include "wizards/WizardState.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <utility>

class QMdiSubWindow;
class QProgressBar;
class QPushButton;

namespace vellarion {

class DirectoryEdit;
class Picture;
struct BrowserDataSet;
struct ShellContext;

// A label for a path: when the path is wider than the label, its middle
// gives way to "…" so that the drive and the file name stay readable.
class PathLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The base form of the full wizards ("Safe Backup", "Safe Restore"): the
// window every member of the family shows, its handlers, and the full job
// it runs through FullJob. A member names its data set and direction; what
// it does differently is in its data set's hooks or in the few handlers it
// overrides.
//
// The window lives inside the main window as a document. Each time it
// becomes the active document FormActivate runs again (not when the program
// merely gets the focus back from a message box or another program). Next
// runs the job synchronously; errors of the job are let through to the
// application's standard error box.
class FullWizardForm : public QWidget {
    Q_OBJECT
public:
    ~FullWizardForm() override;

    Picture* Image1; // background
    Picture* Image5; // the browser's banner
    Picture* Image6; // the browser's icon, 48 x 48
    QLabel* Label1;  // title
    Picture* Image4; // bars behind the two headings
    Picture* Image3;
    QLabel* Label18;                 // "Расположение резервной копии:"
    DirectoryEdit* JvDirectoryEdit2; // the backup location
    QLabel* Label3;                  // "Ход работы:"
    QProgressBar* ProgressBar1;      // progress within the current file
    QPushButton* Button2;            // "Вперед >": Next
    QPushButton* Button3;            // "Отмена": Cancel
    QPushButton* Button1;            // "Готово": Finish, in Next's place

    const BrowserDataSet& data() const { return data_; }
    Direction direction() const { return direction_; }
    // The documented state fields (`ffpath`, `backups`, ...).
    WizardState& state() { return state_; }

    // Every activation: the title, Finish hidden, the data root searched.
    virtual void FormActivate();
    // Closing frees the window.
    virtual void FormClose(QCloseEvent* event);
    // Finish and Cancel end the program.
    virtual void Button1Click();
    virtual void Button3Click();
    // Next: the backup or the restore.
    virtual void Button2Click();
    // The codec's events: a file about to be packed or unpacked, and the
    // bytes done of it. Here they only repaint the window.
    virtual void DoCompressFile(const QString& Filename);
    virtual void DoDecompressFile(const QString& Filename);
    virtual void DoProgress(qint32 Position, qint32 Total);

protected:
    FullWizardForm(ShellContext& context, const BrowserDataSet& data, Direction direction,
                   QWidget* parent);

    // A job passed its checks and starts; a job ended well (the bar empty,
    // Finish shown).
    virtual void jobStarted();
    virtual void jobFinished();

    // A control of the window, named and placed where designed.
    template <class Control, class... Args>
    Control* place(QWidget* parent, const char* name, const QRect& rect, Args&&... args) {
        auto* control = new Control(std::forward<Args>(args)..., parent);
        control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(rect);
        return control;
    }

    // Repaints at once, not waiting for the event loop that the job holds,
    // but at most about 30 times a second unless forced.
    void repaintThrottled(bool force = false);

    ShellContext& context() const { return context_; }
    FullJob& job() { return job_; }

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    class Reporter;

    void documentActivated(QMdiSubWindow* window);

    ShellContext& context_;
    const BrowserDataSet& data_;
    Direction direction_;
    WizardState state_;
    std::unique_ptr<Reporter> reporter_;
    FullJob job_;
    QPointer<QMdiSubWindow> frame_;
    bool shownOnce_ = false;
    bool active_ = false;
    QElapsedTimer lastRepaint_;
};

} // namespace vellarion

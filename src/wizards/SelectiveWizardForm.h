#pragma once

#include "browsers/DataSet.h"
#include "wizards/JobReporter.h"
#include "wizards/SelectiveJob.h"
#include "wizards/WizardState.h"

#include <QElapsedTimer>
#include <QStyle>
#include <QWidget>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPainter;
class QPushButton;

namespace vellarion {

class DirectoryEdit;
class Picture;
struct ShellContext;

// The selective wizard's window as every browser's "Backup" and "Restore"
// window shares it: the item boxes built from the browser's table, the
// backup location, the profile list with its custom location, in a restore
// window the archive list, and Next, Cancel and Finish. The handlers forward
// to the engine (SelectiveJob); the window itself never touches the disk.
class SelectiveWizardForm : public QWidget, protected JobReporter {
    Q_OBJECT
public:
    enum class Mode { Backup, Restore };

    // The pictures particular to a browser.
    struct Look {
        QString banner; // resource of the banner picture (583 x 55)
        QString icon;   // resource of the 48 x 48 browser icon
    };

    ~SelectiveWizardForm() override;

    Mode mode() const { return mode_; }
    const BrowserDataSet& data() const { return data_; }

    // The window's state under its documented names, and its engine.
    WizardState state;
    SelectiveJob& job() { return job_; }

    // Background, banner, browser icon and the three section bars.
    Picture* Image1;
    Picture* Image5;
    Picture* Image6;
    Picture* Image4;
    Picture* Image2;
    Picture* Image3;
    QLabel* Label1;                  // the title; empty while packing
    QLabel* Label18;                 // over the item boxes
    QLabel* Label2;                  // over the backup location
    QLabel* Label3;                  // over the profile list, in a restore window the archive list
    QLabel* Label4;                  // restore: over the profile list; null in a backup window
    QPushButton* Button4;            // "Выбрать все"
    QPushButton* Button6;            // "Снять все"
    DirectoryEdit* JvDirectoryEdit2; // the backup location
    DirectoryEdit* JvDirectoryEdit1; // the custom profile location; null without one
    QListWidget* ListBox1;           // the profiles
    QListWidget* ListBox2;           // restore: the archives; null in a backup window
    QPushButton* Button2;            // "Вперед >"
    QPushButton* Button3;            // "Отмена"
    QPushButton* Button1;            // "Готово", over Next once shown

    // The item box of that name ("CheckBox4"), or null.
    QCheckBox* checkBox(std::string_view name) const;
    // Every item box, in the order of the table.
    const std::vector<QCheckBox*>& itemBoxes() const { return boxes_; }

    // Runs each time the window becomes the active document window.
    virtual void FormActivate();
    // Next: the backup or the restore job.
    virtual void Button2Click();
    // Select all / Clear all.
    virtual void Button4Click();
    virtual void Button6Click();
    // A click in either list: the focus goes to Next.
    void ListBox1Click();
    // Draws one entry of either list as a radio button with its text.
    void ListBox1DrawItem(QListWidget* Control, int Index, const QRect& Rect, QStyle::State State,
                          QPainter& Canvas);
    // The custom profile location changed.
    void JvDirectoryEdit1Change();
    // Restore: the backup location changed.
    virtual void JvDirectoryEdit2Change();
    // The codec's events, a file about to be packed or unpacked: the window
    // repaints at once.
    virtual void DoCompressFile(const QString& Filename);
    virtual void DoDecompressFile(const QString& Filename);
    // Closing the window frees it.
    void FormClose();
    // Finish and Cancel end the program.
    void Button1Click();
    void Button3Click();

protected:
    SelectiveWizardForm(ShellContext& context, const BrowserDataSet& data, Mode mode,
                        const Look& look, QWidget* parent);

    // The window's caption and title for its mode.
    QString caption() const;
    QString title() const;
    // Restore: whether the chosen archive goes once the restore succeeded.
    virtual bool deletesArchiveAfterRestore() const { return false; }

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    // JobReporter: what the engine tells the window.
    void showMessage(const std::string& text) override;
    void progressShow() override;
    void progressStep(int amount) override;
    void progressSet(int position) override;
    void progressHide() override;
    void busy(bool on) override;
    void untick(std::string_view checkBox) override;
    void fileStarted(const std::string& path) override;
    void jobFinished() override;
    void packingStarts() override;

    ShellContext& context_;

private:
    void buildItemBoxes();
    void buildLists();
    // The lists show what the engine holds.
    void showLists();
    void watchActivation();
    // Repaints now, at most about 30 times a second.
    void repaintThrottled();

    const BrowserDataSet& data_;
    Mode mode_;
    SelectiveJob job_;
    std::vector<QCheckBox*> boxes_;
    QElapsedTimer lastRepaint_;
    bool watchingFrame_ = false;
};

} // namespace vellarion

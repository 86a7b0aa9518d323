#pragma once

#include "core/wizards/SelectiveJob.h"
#include "gui/wizards/WizardForm.h"

#include <QStyle>
#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPainter;

namespace vellarion {

// The selective wizard's window as every browser's "Backup" and "Restore"
// window shares it: the shared wizard window on light grey with the item
// boxes built from the browser's table, the backup location, the profile
// list with its custom location and, in a restore window, the archive list.
// The handlers forward to the engine (SelectiveJob); the window itself never
// touches the disk.
class SelectiveWizardForm : public WizardForm {
    Q_OBJECT
public:
    ~SelectiveWizardForm() override;

    // The window's engine.
    SelectiveJob& job() { return job_; }

    // The three section bars and their headings.
    Picture* Image4;
    Picture* Image2;
    Picture* Image3;
    QLabel* Label18;                 // over the item boxes
    QLabel* Label2;                  // over the backup location
    QLabel* Label3;                  // over the profile list, in a restore window the archive list
    QLabel* Label4;                  // restore: over the profile list; null in a backup window
    QPushButton* Button4;            // "Выбрать все"
    QPushButton* Button6;            // "Снять все"
    DirectoryEdit* JvDirectoryEdit1; // the custom profile location; null without one
    QListWidget* ListBox1;           // the profiles
    QListWidget* ListBox2;           // restore: the archives; null in a backup window and
                                     // where the browser restores one fixed archive
    QCheckBox* NewProfileBox;  // restore: "Новый профиль:", beside the profile list;
    QLineEdit* NewProfileEdit; // its name; both null where the browser lists no profiles
                               // a new one could be added to

    // The item box of that name ("CheckBox4"), or null.
    QCheckBox* checkBox(std::string_view name) const;
    // Every item box, in the order of the table.
    const std::vector<QCheckBox*>& itemBoxes() const { return boxes_; }

    // Each activation: the title, Finish hidden, the profiles listed again;
    // with none to list, a restore goes into a new one.
    void FormActivate() override;
    // Next: the backup or the restore job.
    void Button2Click() override;
    // Select all / Clear all.
    virtual void Button4Click();

protected:
    std::vector<std::string> finishedArchives() const override { return {job_.archivePath()}; }
    std::string finishedFolder() const override { return job_.state().ffpath; }

public:
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
    // Restore: into a new profile or not; the profile list and the custom
    // location step aside while it is ticked.
    void NewProfileBoxClick();

protected:
    SelectiveWizardForm(ShellContext& context, const BrowserDataSet& data, Direction direction,
                        QWidget* parent);

    // Restore: whether the chosen archive goes once the restore succeeded.
    virtual bool deletesArchiveAfterRestore() const { return false; }
    // Restore into a custom location: whether it becomes one of the
    // browser's profiles.
    virtual bool registersProfile() const { return false; }

    // JobReporter: what only the selective jobs tell the window.
    void untick(std::string_view checkBox) override;
    void packingStarts() override;

private:
    // The item boxes from the table; the bottom edge of the lowest one.
    int buildItemBoxes();
    // The lists below the section bar at `sectionTop`.
    void buildLists(int sectionTop);
    // The lists show what the engine holds.
    void showLists();
    // The archive list read again from the backup location, then both lists
    // shown.
    void relistArchives();
    // The archives of the typed backup location into the list: a folder's,
    // or an rclone remote's by name.
    void listArchivesOf(const std::string& typed);
    // Backup: the note on a plain archive follows the ticked items.
    void showPlainNote();

    SelectiveJob job_;
    std::vector<QCheckBox*> boxes_;
};

} // namespace vellarion

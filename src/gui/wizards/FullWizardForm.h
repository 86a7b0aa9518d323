#pragma once

#include "core/wizards/FullJob.h"
#include "gui/wizards/WizardForm.h"

#include <QLabel>

class QProgressBar;

namespace vellarion {

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
// shared wizard window on white with the location section and the progress
// section, running the full job (FullJob). A member names its data set and
// direction; what it does differently is in its data set's hooks or in the
// few handlers it overrides.
class FullWizardForm : public WizardForm {
    Q_OBJECT
public:
    ~FullWizardForm() override;

    Picture* Image4; // bar behind "Расположение резервной копии:"
    QLabel* Label18; // "Расположение резервной копии:"
    Picture* Image3; // bar behind "Ход работы:"
    QLabel* Label3;  // "Ход работы:"
    QProgressBar* ProgressBar1; // progress within the current file
    // Restore: another folder to restore the data folder into, grey text
    // until one is given; null where the browser's data folder has no
    // place of its own to be made in.
    DirectoryEdit* IntoEdit = nullptr;

    // Every activation: the title, Finish hidden, the data root searched.
    void FormActivate() override;
    // Next: the backup or the restore.
    void Button2Click() override;

protected:
    FullWizardForm(ShellContext& context, const BrowserDataSet& data, Direction direction,
                   QWidget* parent);

    // A job passed its checks and starts (the bar empty); a job ended well
    // (the bar empty, Finish shown).
    void jobStarted() override;
    void jobFinished() override;
    std::vector<std::string> finishedArchives() const override;
    std::string finishedFolder() const override;
    // A full job that steps through items steps the window's own bar.
    void progressShow() override;
    void progressStep(int amount) override;
    void progressSet(int position) override;
    void progressHide() override;

    FullJob& job() { return job_; }

private:
    bool intoChosen_ = false; // the last Next restored into IntoEdit's folder
    FullJob job_;
};

} // namespace vellarion

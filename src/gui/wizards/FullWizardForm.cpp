#include "gui/wizards/FullWizardForm.h"

#include "core/browsers/DataSet.h"
#include "core/remote/RemoteFolder.h"
#include "core/services/ProgramPath.h"
#include "core/services/SystemServices.h"
#include "core/wizards/Messages.h"
#include "gui/kit/Dialogs.h"
#include "gui/kit/ShellContext.h"
#include "gui/kit/Texts.h"
#include "gui/wizards/DirectoryEdit.h"
#include "gui/wizards/EncryptionFields.h"
#include "gui/wizards/WizardPictures.h"

#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <memory>

namespace vellarion {

namespace {

// Where the fields of the two sections start and how wide they are.
constexpr int kFieldLeft = 39;
constexpr int kFieldWidth = 521;
QString intoPlaceholder() {
    return ui("Восстановить в другую папку (необязательно):");
}

} // namespace

void PathLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(area, static_cast<int>(alignment()),
                     fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
}

FullWizardForm::FullWizardForm(ShellContext& context, const BrowserDataSet& data,
                               Direction direction, QWidget* parent)
    : WizardForm(context, data, data.full.texts, direction,
                 {.background = Qt::white,
                  .backgroundPicture = fullWizardBackground(),
                  .titlePointSize = 13},
                 parent),
      job_(context.services, data, state(), *this) {
    Image4 = placeSection("Image4", "Label18", ui("Расположение резервной копии:"), 78, Label18);
    placeLocationEdit(QRect(kFieldLeft, 114, kFieldWidth, 21));
    if (direction == Direction::Backup) {
        // A whole data folder always holds the passwords and cookies.
        placeEncryption(QRect(kFieldLeft, 156, 320, 41), QRect(kFieldLeft, 206, kFieldWidth, 34));
        encryption()->setHoldsSecrets(true);
    } else if (!data.newRoots.empty() || !data.native.newRoots.empty()) {
        IntoEdit = place<DirectoryEdit>("IntoEdit", QRect(kFieldLeft, 150, kFieldWidth, 21),
                                        context.dialogs, intoPlaceholder());
        IntoEdit->setGreyText(true);
    }

    Image3 = placeSection("Image3", "Label3", ui("Ход работы:"), 268, Label3);
    ProgressBar1 = place<QProgressBar>("ProgressBar1", QRect(kFieldLeft, 302, kFieldWidth, 17));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    placeButtons();
    Button2->setDefault(true);
}

FullWizardForm::~FullWizardForm() = default;

void FullWizardForm::FormActivate() {
    WizardForm::FormActivate();
    if (direction() == Direction::Restore && job_.searchesAtActivation() &&
        job_.unavailableHere().empty() && !job_.locate() && job_.newDataRoot()) {
        return; // no error yet: Next offers the place the browser would use
    }
    job_.activate();
}

void FullWizardForm::Button2Click() {
    if (direction() == Direction::Backup && !encryptionReady()) {
        return;
    }
    const std::string typed = JvDirectoryEdit2->text().toStdString();
    // A whole data folder always holds the passwords and cookies.
    if (direction() == Direction::Backup && !plainToRemoteAllowed(typed, true)) {
        return;
    }
    // A remote's private folder goes however the click ends.
    const std::unique_ptr<FullWizardForm, void (*)(FullWizardForm*)> closing(
        this, [](FullWizardForm* form) { form->closeRemote(); });
    const std::string location = jobLocation(typed);
    const QString into = IntoEdit != nullptr ? IntoEdit->text().trimmed() : QString();
    const bool intoGiven = !into.isEmpty() && into != intoPlaceholder();
    if (intoChosen_ && !intoGiven) {
        job_.locateAnew(); // the folder given before was taken away again
    }
    intoChosen_ = intoGiven;
    if (intoGiven) {
        job_.restoreInto(into.toStdString());
    } else if (direction() == Direction::Restore && !job_.hasDataRoot() &&
               job_.archiveToRestore(location)) {
        if (const std::optional<std::string> root = job_.newDataRoot()) {
            const std::string shown = job_.services().paths().toDisplay(*root);
            if (!context().dialogs.askYesNo(
                    this, qText(restoreIntoNewRootQuestion(data().name, shown)))) {
                return;
            }
            job_.restoreInto(*root);
        }
    }
    runJob([&] {
        if (direction() == Direction::Backup) {
            if (job_.backup(location) == JobOutcome::Done && remote() != nullptr) {
                std::vector<std::string> written;
                for (const FullArchive& archive : job_.archives()) {
                    written.push_back(archive.archive);
                }
                sendToRemote(written);
            }
        } else {
            if (remote() != nullptr) {
                fetchFromRemote(
                    fullArchivesOfVersion(*remote(), std::string(data().full.archiveName),
                                          job_.archiveToRestore(location).value_or("")));
            }
            job_.restore(location);
        }
    });
}

void FullWizardForm::jobStarted() {
    WizardForm::jobStarted();
    ProgressBar1->setValue(0);
}

void FullWizardForm::progressShow() {
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    repaintThrottled();
}

void FullWizardForm::progressStep(int amount) {
    ProgressBar1->setValue(std::clamp(ProgressBar1->value() + amount, 0, ProgressBar1->maximum()));
    repaintThrottled();
}

void FullWizardForm::progressSet(int position) {
    ProgressBar1->setValue(std::clamp(position, 0, ProgressBar1->maximum()));
}

void FullWizardForm::progressHide() {}

std::vector<std::string> FullWizardForm::finishedArchives() const {
    std::vector<std::string> written;
    for (const FullArchive& archive : job_.archives()) {
        written.push_back(archive.archive);
    }
    return written;
}

std::string FullWizardForm::finishedFolder() const {
    // Staged items come from many places: the data root names them all.
    return job_.state().ffpath;
}

void FullWizardForm::jobFinished() {
    ProgressBar1->setValue(0);
    WizardForm::jobFinished();
}

} // namespace vellarion

#include "gui/wizards/WizardForm.h"

#include "core/browsers/DataSet.h"
#include "core/services/SystemServices.h"
#include "core/wizards/Messages.h"
#include "gui/kit/Dialogs.h"
#include "gui/kit/ProgressSink.h"
#include "gui/kit/ShellContext.h"
#include "gui/wizards/DirectoryEdit.h"
#include "gui/wizards/WizardPictures.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

namespace vellarion {

WizardForm::WizardForm(ShellContext& context, const BrowserDataSet& data, const WizardTexts& texts,
                       Direction direction, const WizardLook& look, QWidget* parent)
    : DocumentForm(
          context,
          qText(direction == Direction::Backup ? texts.backupCaption : texts.restoreCaption),
          qText(direction == Direction::Backup ? texts.backupTitle : texts.restoreTitle),
          {.background = look.background,
           .backgroundPicture = look.backgroundPicture,
           .banner = browserBanner(data.id),
           .icon = browserIcon(data.id),
           .titlePointSize = look.titlePointSize},
          parent),
      JvDirectoryEdit2(nullptr), data_(data), direction_(direction) {}

WizardForm::~WizardForm() = default;

void WizardForm::placeLocationEdit(const QRect& rect) {
    JvDirectoryEdit2 = place<DirectoryEdit>("JvDirectoryEdit2", rect, context().dialogs,
                                            qText(kBackupLocationPlaceholder));
}

void WizardForm::runJob(const std::function<void()>& job) {
    try {
        job();
    } catch (...) {
        progressHide();
        progressSet(0);
        throw;
    }
}

void WizardForm::DoCompressFile(const QString&) {
    repaintThrottled();
}

void WizardForm::DoDecompressFile(const QString&) {
    repaintThrottled();
}

void WizardForm::DoProgress(qint32, qint32) {}

void WizardForm::showMessage(const std::string& text) {
    context().dialogs.showMessage(this, QString::fromStdString(text));
}

void WizardForm::progressShow() {
    context().progress.showProgress();
}

void WizardForm::progressStep(int amount) {
    context().progress.stepBy(amount);
}

void WizardForm::progressSet(int position) {
    context().progress.setPosition(position);
}

void WizardForm::progressHide() {
    context().progress.hideProgress();
}

void WizardForm::fileStarted(const std::string& path) {
    const QString file = QString::fromStdString(context().services.paths().toDisplay(path));
    if (direction_ == Direction::Backup) {
        DoCompressFile(file);
    } else {
        DoDecompressFile(file);
    }
}

void WizardForm::fileProgress(std::int32_t position, std::int32_t total) {
    DoProgress(position, total);
}

void WizardForm::busy(bool on) {
    if (on) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

bool WizardForm::replaceArchive(const std::string& path) {
    return context().dialogs.askYesNo(this, qText(replaceArchiveQuestion(lastName(path))));
}

void WizardForm::jobFinished() {
    Button1->show();
    Button1->raise();
}

} // namespace vellarion

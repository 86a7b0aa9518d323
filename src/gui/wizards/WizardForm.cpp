#include "gui/wizards/WizardForm.h"

#include "core/browsers/DataSet.h"
#include "core/remote/RemoteFolder.h"
#include "core/services/PathMapper.h"
#include "core/services/ProgramPath.h"
#include "core/services/SystemServices.h"
#include "core/wizards/Messages.h"
#include "core/wizards/PlainSecrets.h"
#include "gui/kit/Dialogs.h"
#include "gui/kit/ProgressSink.h"
#include "gui/kit/ShellContext.h"
#include "gui/kit/Texts.h"
#include "gui/wizards/DirectoryEdit.h"
#include "gui/wizards/EncryptionFields.h"
#include "gui/wizards/WizardPictures.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

namespace vellarion {

// A transfer to or from a remote on the window's bar; the window repaints
// as it goes.
class RemoteTransfer : public TransferReport {
public:
    RemoteTransfer(std::function<void(int)> percent, std::function<void()> repaint)
        : percent_(std::move(percent)), repaint_(std::move(repaint)) {}

    void transferStarted(const std::string&, bool) override {
        percent_(0);
        repaint_();
    }
    void transferProgress(std::uint64_t bytes, std::uint64_t total) override {
        if (total > 0) {
            percent_(static_cast<int>(bytes * 100 / total));
            repaint_();
        }
    }
    // The windows never ask a job to stop.
    bool stopRequested() const override { return false; }

private:
    std::function<void(int)> percent_;
    std::function<void()> repaint_;
};

WizardForm::WizardForm(ShellContext& context, const BrowserDataSet& data, const WizardTexts& texts,
                       Direction direction, const WizardLook& look, QWidget* parent)
    : DocumentForm(
          context,
          shownText(direction == Direction::Backup ? texts.backupCaption : texts.restoreCaption),
          shownText(direction == Direction::Backup ? texts.backupTitle : texts.restoreTitle),
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
                                            shownText(kBackupLocationPlaceholder));
    // rclone is asked for its remotes once the user begins to name one.
    JvDirectoryEdit2->offerRemotes([] {
        Rclone rclone;
        return rclone.available() ? std::optional(rclone.remotes()) : std::nullopt;
    });
}

void WizardForm::placeEncryption(const QRect& area, const QRect& note) {
    encryption_ = new EncryptionFields(*this, area, note);
    if (data_.keys.plainBackupNote) {
        encryption_->LabelPlain->setText(shownText(kSecretsLocked));
    }
}

bool WizardForm::encryptionReady() {
    return encryption_ == nullptr || encryption_->check(context().dialogs, this);
}

void WizardForm::FormActivate() {
    DocumentForm::FormActivate();
    if (LabelResult != nullptr) {
        LabelResult->hide();
    }
}

void WizardForm::runJob(const std::function<void()>& job) {
    if (LabelResult != nullptr) {
        LabelResult->hide();
    }
    try {
        try {
            job();
        } catch (const Error& e) {
            if (!remote_) {
                throw;
            }
            throw Error(remote_->shown(e.what()));
        }
    } catch (...) {
        // A password typed for one job is not kept for the next.
        typed_.reset();
        progressHide();
        progressSet(0);
        // A job that ended well and whose archive then could not be sent
        // is no finished job.
        Button1->hide();
        if (LabelResult != nullptr) {
            LabelResult->hide();
        }
        throw;
    }
    typed_.reset();
}

std::string WizardForm::jobLocation(const std::string& typed) {
    closeRemote();
    if (!isRemoteLocation(typed)) {
        return typed;
    }
    const RemotePath where = parseRemotePath(typed);
    rclone_ = std::make_unique<Rclone>();
    transfer_ = std::make_unique<RemoteTransfer>([this](int percent) { progressSet(percent); },
                                                 [this] { repaintThrottled(); });
    whileBusy([&] { remote_ = std::make_unique<RemoteFolder>(*rclone_, where, *transfer_); });
    return remote_->location();
}

void WizardForm::closeRemote() {
    remote_.reset();
}

bool WizardForm::plainToRemoteAllowed(const std::string& typed, bool holdsSecrets) {
    if (!isRemoteLocation(typed) || !holdsSecrets || encryptionPassword()) {
        return true;
    }
    return context().dialogs.askYesNo(
        this,
        ui("Архив будет содержать пароли и куки в открытом виде и уйдёт в \"%1\": их "
           "прочтёт любой, кто может читать это хранилище. Отправить его без шифрования?")
            .arg(QString::fromStdString(typed)),
        Dialogs::Icon::Warning);
}

void WizardForm::sendToRemote(const std::vector<std::string>& archives) {
    if (!remote_) {
        return;
    }
    whileBusy([&] {
        remote_->send(context().services, archives, 0,
                      [this](const std::string&) { return encryptionPassword(); });
    });
}

void WizardForm::fetchFromRemote(const std::vector<std::string>& names) {
    if (!remote_) {
        return;
    }
    whileBusy([&] {
        for (const std::string& name : names) {
            remote_->fetch(name);
        }
    });
}

void WizardForm::whileBusy(const std::function<void()>& work) {
    busy(true);
    try {
        work();
    } catch (...) {
        busy(false);
        throw;
    }
    busy(false);
}

std::optional<Secret> WizardForm::encryptionPassword() {
    return encryption_ != nullptr ? encryption_->password() : std::nullopt;
}

std::optional<Secret> WizardForm::archivePassword(const std::string& path) {
    if (!typed_) {
        // The question is no wait: the arrow over it, the hourglass after.
        QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
        const std::optional<QString> answer = context().dialogs.askPassword(
            this, ui("Архив \"%1\" зашифрован. Введите пароль:")
                      .arg(qText(lastName(context().services.paths().toDisplay(path)))));
        QGuiApplication::restoreOverrideCursor();
        if (!answer) {
            return std::nullopt;
        }
        QByteArray utf8 = answer->toUtf8();
        typed_.emplace(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
        wipeMemory(utf8.data(), static_cast<std::size_t>(utf8.size()));
    }
    return typed_->copy();
}

void WizardForm::DoCompressFile(const QString&) {
    repaintThrottled();
}

void WizardForm::DoDecompressFile(const QString&) {
    repaintThrottled();
}

void WizardForm::DoProgress(qint32, qint32) {}

void WizardForm::showMessage(const std::string& text) {
    context().dialogs.showMessage(this, shownText(text));
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
    return context().dialogs.askYesNo(this, shownText(replaceArchiveQuestion(lastName(path))));
}

void WizardForm::fileSkipped(const std::string&, const std::string& reason) {
    leftOut_.push_back(reason);
}

void WizardForm::jobFinished() {
    if (!leftOut_.empty()) {
        QString text;
        for (const std::string& reason : leftOut_) {
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + shownText(reason);
        }
        leftOut_.clear();
        context().dialogs.showMessage(this, text);
    }
    Button1->show();
    Button1->raise();
    // Under the buttons, as wide as the window's sections: the row of a
    // restore's check boxes stays free.
    if (LabelResult == nullptr) {
        const int right = (Button3 != nullptr ? Button3 : Button1)->geometry().right();
        LabelResult = place<QLabel>(
            "LabelResult", QRect(26, Button1->geometry().bottom() + 3, right - 26 + 1, 17));
        LabelResult->setTextFormat(Qt::PlainText);
    }
    const auto shown = [this](const std::string& path) {
        const std::string display = context().services.paths().toDisplay(path);
        return QString::fromStdString(remote_ ? remote_->shown(display) : display);
    };
    QStringList places;
    QString text;
    if (direction_ == Direction::Backup) {
        for (const std::string& archive : finishedArchives()) {
            places << shown(archive);
        }
        if (!places.isEmpty()) {
            text = shownText(formatText(N_("Архив записан: %1"),
                                        {places.join(QStringLiteral(", ")).toStdString()}));
        }
    } else if (const std::string folder = finishedFolder(); !folder.empty()) {
        text = shownText(formatText(N_("Данные восстановлены в: %1"),
                                    {shown(std::string(withoutTrailingSeparators(folder)))
                                         .toStdString()}));
    }
    // A long path keeps its end, the file's name.
    LabelResult->setToolTip(text);
    LabelResult->setText(QFontMetrics(LabelResult->font())
                             .elidedText(text, Qt::ElideMiddle, LabelResult->width()));
    LabelResult->setVisible(!text.isEmpty());
}

} // namespace vellarion

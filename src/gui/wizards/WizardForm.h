#pragma once

#include "core/wizards/Job.h"
#include "core/wizards/WizardState.h"
#include "gui/wizards/DocumentForm.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vellarion {

class DirectoryEdit;
class EncryptionFields;
class Rclone;
class RemoteFolder;
class RemoteTransfer;
struct BrowserDataSet;
struct WizardTexts;

// What every wizard window shares, full and selective alike, on the document
// window: the browser's banner, icon and title, the section bars, the backup
// location edit, Next, Cancel and Finish. It is the front end its job
// reports to (JobReporter): messages go through the Dialogs seam, the
// hourglass is the application's override cursor, the codec's events become
// DoCompressFile, DoDecompressFile and DoProgress, the selective jobs' steps
// go to the shared progress window, and a job that ended well shows Finish
// over Next. Next runs the job synchronously; an error of the job ends it in
// the standard error box.
class WizardForm : public DocumentForm, protected JobReporter {
    Q_OBJECT
public:
    ~WizardForm() override;

    DirectoryEdit* JvDirectoryEdit2; // the backup location
    // Beside Finish once a job has ended well: where the archive was written,
    // or where the data went.
    QLabel* LabelResult = nullptr;

    // Every activation hides the last job's result with Finish.
    void FormActivate() override;

    const BrowserDataSet& data() const { return data_; }
    Direction direction() const { return direction_; }
    // A backup window's "Зашифровать паролем" and its fields; null in a
    // restore window.
    EncryptionFields* encryption() const { return encryption_; }
    // The documented state fields (`ffpath`, `backups`, ...).
    WizardState& state() { return state_; }

    // The codec's events: a file about to be packed or unpacked (they
    // repaint the window at once), and the bytes done of it.
    virtual void DoCompressFile(const QString& Filename);
    virtual void DoDecompressFile(const QString& Filename);
    virtual void DoProgress(qint32 Position, qint32 Total);

protected:
    struct WizardLook {
        QColor background;
        QString backgroundPicture;
        int titlePointSize;
    };

    // Builds the window's background and header. The family then places
    // its own controls, with placeLocationEdit and placeButtons where they
    // come in its tab order.
    WizardForm(ShellContext& context, const BrowserDataSet& data, const WizardTexts& texts,
               Direction direction, const WizardLook& look, QWidget* parent);

    // The backup location edit, showing its placeholder.
    void placeLocationEdit(const QRect& rect);
    // A backup window's "Зашифровать паролем" with its fields, in `area`,
    // and the note on plain archives in `note`.
    void placeEncryption(const QRect& area, const QRect& note);
    // Next of a backup: false, and the user told why, when encryption is
    // asked for without a password typed twice alike.
    bool encryptionReady();

    // Runs Next's job. A job that fails leaves no progress behind: the
    // window's bar goes back to 0 and the shared progress window is hidden
    // before the error reaches the error box. Its error names a remote's
    // private folder as the remote.
    void runJob(const std::function<void()>& job);

    // --- A backup location on an rclone remote (rclone:REMOTE:PATH) ---

    // The backup location as the job takes it: the typed text, or for a
    // remote the private folder that stands for it (core/remote's
    // RemoteFolder), the remote listed now; it stays until closeRemote. An
    // unknown remote, a refused login, rclone missing: thrown, one line.
    std::string jobLocation(const std::string& typed);
    // The remote of the last jobLocation, or null for a folder.
    RemoteFolder* remote() const { return remote_.get(); }
    // The private folder and what was fetched into it go.
    void closeRemote();
    // A backup of passwords or cookies, not encrypted, to a remote: true
    // when the user answers that it may go as it is.
    bool plainToRemoteAllowed(const std::string& typed, bool holdsSecrets);
    // After a backup to a remote: its archives read whole and sent.
    void sendToRemote(const std::vector<std::string>& archives);
    // Before a restore from a remote: its archives fetched.
    void fetchFromRemote(const std::vector<std::string>& names);

    // What the finished job made, for LabelResult: a backup's archives, a
    // restore's folder (program paths; none: nothing to name).
    virtual std::vector<std::string> finishedArchives() const { return {}; }
    virtual std::string finishedFolder() const { return {}; }

    // JobReporter.
    void showMessage(const std::string& text) override;
    void progressShow() override;
    void progressStep(int amount) override;
    void progressSet(int position) override;
    void progressHide() override;
    void fileStarted(const std::string& path) override;
    void fileProgress(std::int32_t position, std::int32_t total) override;
    void busy(bool on) override;
    void jobStarted() override { leftOut_.clear(); }
    void jobFinished() override;
    // A file a backup left out: all of them named in one box at the end.
    void fileSkipped(const std::string& path, const std::string& reason) override;
    // "Файл резервной копии "…" уже существует. Заменить его?"
    bool replaceArchive(const std::string& path) override;
    // The password of the encryption fields.
    std::optional<Secret> encryptionPassword() override;
    // Asks for the password of an encrypted archive, once for a job.
    std::optional<Secret> archivePassword(const std::string& path) override;

private:
    // The hourglass over `work`, however it ends.
    void whileBusy(const std::function<void()>& work);

    const BrowserDataSet& data_;
    Direction direction_;
    WizardState state_;
    EncryptionFields* encryption_ = nullptr;
    // The password typed for the running job's archives.
    std::optional<Secret> typed_;
    std::unique_ptr<Rclone> rclone_;
    std::unique_ptr<RemoteTransfer> transfer_;
    std::unique_ptr<RemoteFolder> remote_;
    // What the running job left out, as the user reads it.
    std::vector<std::string> leftOut_;
};

} // namespace vellarion

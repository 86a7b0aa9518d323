#pragma once

#include "core/update/HttpTransport.h"
#include "core/update/mxWebUpdate.h"
#include "gui/kit/Dialogs.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

class QProgressBar;

namespace vellarion {

// The update window: runs an update check while it is being created, turns
// the check's questions and results into message boxes and shows its
// progress. Each window has its own check; closing it destroys it.
class Tf_Update : public QWidget {
    Q_OBJECT
public:
    // What the window asks of the outside; empty members get the real thing
    // (Qt Network, starting the file with the system, quitting the application).
    struct Seams {
        std::function<std::unique_ptr<HttpTransport>()> makeTransport;
        std::function<bool(const std::string& file, const std::string& parameters)> execute;
        std::function<void()> terminate;
    };

    // Creates the window and runs the whole check (the window is not shown
    // yet). `owner` keeps the window on top of it; the window stays a window
    // of its own.
    explicit Tf_Update(Dialogs& dialogs, QWidget* owner = nullptr, Seams seams = {});
    ~Tf_Update() override;

    // The Updates command: a new window with its own check, kept in
    // f_Update and shown.
    static Tf_Update* open(Dialogs& dialogs, QWidget* owner);

    QProgressBar* ProgressBar;

    void FormCreate();
    void FormClose();
    void WebUpdateAfterGetInfo(TmxWebUpdate& Sender);
    void WebUpdateBeforeShowInfo(TmxWebUpdate& Sender, bool& ShowInfo, bool& CheckForUpdate);
    void WebUpdateUpdateAvailable(TmxWebUpdate& Sender, const std::string& ActualVersion,
                                  const std::string& NewVersion, bool& CanUpdate);
    void WebUpdateNoUpdateFound(TmxWebUpdate& Sender);
    void WebUpdateDownload(TmxWebUpdate& Sender, std::int64_t Total, std::int64_t Downloaded);
    void WebUpdateDownloadError(TmxWebUpdate& Sender);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Host : public UpdateHost {
    public:
        Host(Seams& seams, HttpTransport& transport) : seams_(seams), transport_(transport) {}
        void processMessages() override;
        bool execute(const std::string& file, const std::string& parameters) override;
        void terminate() override;
        std::unique_ptr<UpdateInfoWindow> createInfoWindow() override;

    private:
        Seams& seams_;
        HttpTransport& transport_;
    };

    Dialogs& dialogs_;
    Seams seams_;
    std::unique_ptr<HttpTransport> transport_;
    Host host_;

public:
    TmxWebUpdate WebUpdate;
};

// The newest update window (null once it is closed).
extern Tf_Update* f_Update;

// Starts a downloaded file with its parameters: through the shell on Windows,
// as a program with its parameters split as a shell would elsewhere.
bool startDownloadedFile(const std::string& file, const std::string& parameters);

} // namespace vellarion

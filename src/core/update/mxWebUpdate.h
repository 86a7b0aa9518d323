#pragma once

#include "core/update/HttpTransport.h"
#include "core/update/UpdateRules.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

class TmxWebUpdate;

enum TmxUpdateOption {
    uoRunUpdate, // start the downloaded file
    uoTerminate, // then ask the application to end
    uoOverwrite, // replace an existing file of the download's name
};

// A set of TmxUpdateOption.
class TmxUpdateOptions {
public:
    TmxUpdateOptions(std::initializer_list<TmxUpdateOption> options) {
        for (const TmxUpdateOption o : options) {
            bits_ |= bit(o);
        }
    }
    bool contains(TmxUpdateOption o) const { return (bits_ & bit(o)) != 0; }
    bool operator==(const TmxUpdateOptions&) const = default;

private:
    static unsigned bit(TmxUpdateOption o) { return 1u << static_cast<unsigned>(o); }
    unsigned bits_ = 0;
};

// The names of the META tags read from the update page.
struct TmxTagInfo {
    std::string Author = "mxAuthor";
    std::string Email = "mxEmail";
    std::string ClientFileName = "mxClientSideName";
    std::string Download = "mxDownload";
    std::string ProductName = "mxProduct";
    std::string Redirection = "mxRedirection";
    std::string RunParameters = "mxRunParameters";
    std::string Version = "mxVersion";
    // The SHA-256 of the update file in hex; a download that differs is refused.
    std::string SHA256 = "mxSHA256";
};

// Where the update page lies, the version now installed and how versions compare.
class TmxProductInfo {
public:
    const std::string& URL() const { return url_; }
    // An address without "http://" or "https://" in front gets "http://".
    void setURL(std::string_view url) { url_ = normalizeProductUrl(url); }

    std::string Version = "1.0";
    TmxVersionFormat VersionFormat = vfStandard;

private:
    std::string url_ = "http://";
};

// Button captions of the information window.
struct TmxInfoCaption {
    std::string OkButton = "&OK";
    std::string CancelButton = "&Cancel";
    std::string CheckForUpdate = "C&heck for updates in the future";
};

// The window that shows the update page with OK and Cancel.
class UpdateInfoWindow {
public:
    virtual ~UpdateInfoWindow() = default;
    virtual void setButtonCaptions(const std::string& ok, const std::string& cancel) = 0;
    virtual void Navigate(const HttpRequest& page) = 0;
    // Shows the window modally; true when it closed with OK.
    virtual bool showModal() = 0;
};

// What the component asks of the application around it.
class UpdateHost {
public:
    virtual ~UpdateHost() = default;
    // Handles the application's pending events (after every block received).
    virtual void processMessages() = 0;
    // Starts the downloaded file with its command-line parameters; false
    // when it could not be started.
    virtual bool execute(const std::string& file, const std::string& parameters) = 0;
    // Asks the application to end once the current work returns.
    virtual void terminate() = 0;
    // The information window, created on the first showing.
    virtual std::unique_ptr<UpdateInfoWindow> createInfoWindow() = 0;
    // The user's temporary folder ending with a separator; empty when there is none.
    virtual std::string tempFolder();
};

// Asks the maker's web site whether a newer version exists and, with the
// consent its events give, shows the update page, downloads the new
// version's file and starts it. Every question and report is an event.
class TmxWebUpdate {
public:
    using TNotifyEvent = std::function<void(TmxWebUpdate& Sender)>;
    using TUpdateAvailableEvent =
        std::function<void(TmxWebUpdate& Sender, const std::string& ActualVersion,
                           const std::string& NewVersion, bool& CanUpdate)>;
    using TBeforeShowInfoEvent =
        std::function<void(TmxWebUpdate& Sender, bool& ShowInfo, bool& CheckForUpdate)>;
    using TAfterShowInfoEvent = std::function<void(TmxWebUpdate& Sender, bool& CheckForUpdate)>;
    using TFileNameEvent = std::function<void(TmxWebUpdate& Sender, std::string& FileName)>;
    using TClientFileExistsEvent =
        std::function<void(TmxWebUpdate& Sender, std::string& FileName, bool& Overwrite)>;
    using TDownloadFileEvent =
        std::function<void(TmxWebUpdate& Sender, const std::string& FileName)>;
    using TDownloadEvent =
        std::function<void(TmxWebUpdate& Sender, std::int64_t Total, std::int64_t Downloaded)>;

    // The information page is fetched through `transport`; the host gives the
    // rest (the information window, starting the download, ending the application).
    TmxWebUpdate(HttpTransport& transport, UpdateHost& host);
    // Aborts a running transfer and closes the information window.
    virtual ~TmxWebUpdate();
    TmxWebUpdate(const TmxWebUpdate&) = delete;
    TmxWebUpdate& operator=(const TmxWebUpdate&) = delete;

    // Runs a whole check; true when an update was downloaded (and, with
    // uoRunUpdate, started). A check started while one runs returns false at once.
    bool CheckForAnUpdate();
    // Ends the running transfer at its next block, failed and without an event.
    void Abort();

    // Settings.
    TmxTagInfo TagInfo;
    TmxProductInfo ProductInfo;
    TmxInfoCaption InfoCaption;
    std::string UserName;
    std::string Password;
    TmxUpdateOptions Options{uoRunUpdate, uoTerminate};
    std::string TargetFolder;    // folder for the downloaded file
    std::uint16_t HTTPPort = 80; // port of plain-http addresses that name none

    // The component's own version, "1.21".
    std::string Version() const;

    // Results of the last update page read.
    const std::string& ProductName() const { return productName_; }
    const std::string& ProductVersion() const { return productVersion_; }
    const std::string& UpdateURL() const { return updateUrl_; }
    const std::string& ClientFileName() const { return clientFileName_; }
    const std::string& RedirectionURL() const { return redirectionUrl_; }
    const std::string& Author() const { return author_; }
    const std::string& EMail() const { return email_; }
    const std::string& RunParameters() const { return runParameters_; }
    const std::string& UpdateSHA256() const { return updateSha256_; }
    // The lines of the last update page fetched.
    const std::vector<std::string>& Info() const { return info_; }
    // The full path of the download.
    const std::string& FileName() const { return fileName_; }
    bool Active() const { return active_; }

    // Events.
    TNotifyEvent OnBeforeGetInfo;
    TNotifyEvent OnAfterGetInfo;
    TNotifyEvent OnNoUpdateFound;
    TUpdateAvailableEvent OnUpdateAvailable;
    TBeforeShowInfoEvent OnBeforeShowInfo;
    TAfterShowInfoEvent OnAfterShowInfo; // kept for handlers written against it; not raised
    TFileNameEvent OnGetClientFileName;
    TClientFileExistsEvent OnClientFileExists;
    TDownloadFileEvent OnBeforeDownload;
    TDownloadFileEvent OnAfterDownload;
    TDownloadEvent OnDownload;
    TNotifyEvent OnDownloadError;
    TNotifyEvent OnCannotExecute;

    // Splits an address into host and path.
    virtual ParsedUrl ParseURL(std::string_view url) const;

protected:
    virtual void DoDownload();
    virtual void DoDownloadError();
    virtual void DoBeforeDownload(const std::string& FileName);
    virtual void DoAfterDownload(const std::string& FileName);
    virtual void DoNoUpdateFound();
    virtual void DoAfterGetInfo();
    virtual void DoBeforeGetInfo();
    virtual void DoCannotExecute();
    // Offers the update page; true when the update may go ahead.
    virtual bool ShowUpdateInfo();
    // The path the download is saved under; empty when there is none.
    virtual std::string GetClientFileName();

private:
    enum class Fetched { Ok, Failed, FailedSilently };

    bool getInfo();
    void readInfo();
    bool isNewer();
    bool download();
    bool fetch(const std::string& address, const std::string* file);
    Fetched transfer(const std::string& address, const std::string* file);
    HttpRequest requestFor(const std::string& address) const;
    void clearResults();

    HttpTransport& transport_;
    UpdateHost& host_;
    std::unique_ptr<UpdateInfoWindow> infoWindow_;
    HttpResponse* current_ = nullptr;

    std::string productName_, productVersion_, updateUrl_, clientFileName_, redirectionUrl_,
        author_, email_, runParameters_, updateSha256_;
    std::vector<std::string> info_;
    std::string fileName_;
    bool active_ = false;
    bool aborting_ = false;
    std::int64_t fileSize_ = 0;
    std::int64_t downloadedSize_ = 0;
};

} // namespace vellarion

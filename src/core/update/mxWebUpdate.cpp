#include "core/update/mxWebUpdate.h"

#include "core/services/PathMapper.h"
#include "core/services/Sha256.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <optional>

namespace vellarion {

namespace fs = std::filesystem;

namespace {

// Redirections are followed through at most this many update pages.
constexpr int kMaxInfoPages = 10;
// Blocks of the body are read in this size.
constexpr std::size_t kBlockSize = 1025;
// The component's version word: high byte, a dot, low byte.
constexpr std::uint16_t kComponentVersion = 277;

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

std::optional<std::int64_t> announcedLength(std::string_view text) {
    const auto length = readNumber<std::int64_t>(text);
    return length && *length >= 0 ? length : std::nullopt;
}

std::string lowerHex(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'F') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// The download is written beside its final name and moved there only when it
// arrived whole (and matched its digest); anything else is removed again, so
// a broken transfer never leaves a file that looks like the update.
class PartialDownload {
public:
    explicit PartialDownload(fs::path final)
        : final_(std::move(final)), part_(final_.string() + ".part") {
        out_.open(part_, std::ios::binary | std::ios::trunc);
    }
    ~PartialDownload() {
        if (!done_) {
            out_.close();
            std::error_code ec;
            fs::remove(part_, ec);
        }
    }
    PartialDownload(const PartialDownload&) = delete;
    PartialDownload& operator=(const PartialDownload&) = delete;

    bool write(std::string_view block) {
        out_.write(block.data(), static_cast<std::streamsize>(block.size()));
        return static_cast<bool>(out_);
    }
    bool good() const { return static_cast<bool>(out_); }
    bool commit() {
        out_.close();
        if (!out_) {
            return false;
        }
        std::error_code ec;
        fs::rename(part_, final_, ec);
        done_ = !ec;
        return done_;
    }

private:
    fs::path final_;
    fs::path part_;
    std::ofstream out_;
    bool done_ = false;
};

} // namespace

std::string UpdateHost::tempFolder() {
    std::error_code ec;
    const fs::path temp = fs::temp_directory_path(ec);
    if (ec || temp.empty()) {
        return {};
    }
    std::string folder = pathToUtf8(temp);
    if (folder.back() != '/' && folder.back() != '\\') {
        folder += kSeparator;
    }
    return folder;
}

TmxWebUpdate::TmxWebUpdate(HttpTransport& transport, UpdateHost& host)
    : transport_(transport), host_(host) {
    ProductInfo.setURL("");
}

TmxWebUpdate::~TmxWebUpdate() {
    Abort();
    infoWindow_.reset();
}

std::string TmxWebUpdate::Version() const {
    return std::to_string(kComponentVersion >> 8) + "." + std::to_string(kComponentVersion & 0xff);
}

void TmxWebUpdate::Abort() {
    aborting_ = true;
    if (current_ != nullptr) {
        current_->abort();
    }
}

bool TmxWebUpdate::CheckForAnUpdate() {
    if (active_) {
        return false;
    }
    active_ = true;
    struct ClearActive {
        bool& flag;
        ~ClearActive() { flag = false; }
    } clearActive{active_};

    redirectionUrl_.clear();
    DoBeforeGetInfo();
    bool fetched = getInfo();
    DoAfterGetInfo();
    if (productName_.empty() || productVersion_.empty()) {
        DoDownloadError();
        fetched = false;
    }
    if (!fetched || !isNewer()) {
        return false;
    }

    bool canUpdate = true;
    if (OnUpdateAvailable) {
        const std::string actual = ProductInfo.Version;
        const std::string offered = productVersion_;
        OnUpdateAvailable(*this, actual, offered, canUpdate);
    }
    if (!canUpdate || !ShowUpdateInfo() || !download()) {
        return false;
    }

    if (Options.contains(uoRunUpdate)) {
        if (!host_.execute(fileName_, runParameters_)) {
            DoCannotExecute();
        }
        if (Options.contains(uoTerminate)) {
            host_.terminate();
        }
    }
    return true;
}

void TmxWebUpdate::clearResults() {
    productVersion_.clear();
    updateUrl_.clear();
    author_.clear();
    email_.clear();
    productName_.clear();
    runParameters_.clear();
    updateSha256_.clear();
}

bool TmxWebUpdate::getInfo() {
    for (int page = 0;; ++page) {
        clearResults();
        const std::string address = redirectionUrl_.empty() ? ProductInfo.URL() : redirectionUrl_;
        if (page == kMaxInfoPages) {
            // A chain this long goes round in circles: give up as a failed fetch.
            DoDownloadError();
            return false;
        }
        if (!fetch(address, nullptr)) {
            return false;
        }
        readInfo();
        if (redirectionUrl_.empty()) {
            return true;
        }
    }
}

void TmxWebUpdate::readInfo() {
    redirectionUrl_.clear();
    clientFileName_.clear();
    clearResults();
    const std::array<std::pair<const std::string*, std::string*>, 9> targets = {{
        {&TagInfo.ProductName, &productName_},
        {&TagInfo.ClientFileName, &clientFileName_},
        {&TagInfo.Version, &productVersion_},
        {&TagInfo.Author, &author_},
        {&TagInfo.Email, &email_},
        {&TagInfo.Download, &updateUrl_},
        {&TagInfo.Redirection, &redirectionUrl_},
        {&TagInfo.RunParameters, &runParameters_},
        {&TagInfo.SHA256, &updateSha256_},
    }};
    for (const std::string& line : info_) {
        const std::optional<MetaTag> tag = readMetaLine(line);
        if (!tag) {
            continue;
        }
        for (const auto& [name, result] : targets) {
            if (tag->name == *name) {
                *result = tag->value;
                break;
            }
        }
    }
}

bool TmxWebUpdate::isNewer() {
    const bool newer =
        isNewerVersion(ProductInfo.Version, productVersion_, ProductInfo.VersionFormat);
    if (!newer) {
        DoNoUpdateFound();
    }
    return newer;
}

bool TmxWebUpdate::ShowUpdateInfo() {
    bool showInfo = true;
    bool checkForUpdate = true;
    if (OnBeforeShowInfo) {
        OnBeforeShowInfo(*this, showInfo, checkForUpdate);
    }
    if (!showInfo) {
        return true;
    }
    if (!infoWindow_) {
        infoWindow_ = host_.createInfoWindow();
    }
    infoWindow_->setButtonCaptions(InfoCaption.OkButton, InfoCaption.CancelButton);
    infoWindow_->Navigate(
        requestFor(redirectionUrl_.empty() ? ProductInfo.URL() : redirectionUrl_));
    return infoWindow_->showModal();
}

std::string TmxWebUpdate::GetClientFileName() {
    // The name comes from the web: it must not lead out of the download folder.
    if (!isPlainFileName(clientFileName_)) {
        return {};
    }
    std::string folder;
    const auto target = nativePathMapper().toNative(TargetFolder);
    std::error_code ec;
    if (!TargetFolder.empty() && target && fs::is_directory(*target, ec)) {
        folder = TargetFolder;
    } else {
        folder = host_.tempFolder();
    }
    if (folder.empty()) {
        return {};
    }
    if (folder.back() != '/' && folder.back() != '\\') {
        folder += kSeparator;
    }
    return folder + clientFileName_;
}

bool TmxWebUpdate::download() {
    fileName_ = GetClientFileName();
    if (OnGetClientFileName) {
        OnGetClientFileName(*this, fileName_);
    }
    if (fileName_.empty() || updateUrl_.empty()) {
        // Nowhere to save it, or nothing named to fetch.
        DoDownloadError();
        return false;
    }
    const auto native = nativePathMapper().toNative(fileName_);
    std::error_code ec;
    if (native && fs::exists(*native, ec)) {
        bool overwrite = Options.contains(uoOverwrite);
        if (OnClientFileExists) {
            OnClientFileExists(*this, fileName_, overwrite);
        }
        if (!overwrite) {
            DoDownloadError();
            return false;
        }
    }
    DoBeforeDownload(fileName_);
    const std::string file = fileName_;
    const bool ok = fetch(updateUrl_, &file);
    DoAfterDownload(fileName_);
    return ok;
}

HttpRequest TmxWebUpdate::requestFor(const std::string& address) const {
    ParsedUrl url = ParseURL(address);
    if (url.Host.empty()) {
        const ParsedUrl page = ParseURL(ProductInfo.URL());
        url.Host = page.Host;
        url.secure = page.secure;
    }
    return HttpRequest{composeUrl(url, HTTPPort), UserName, Password};
}

ParsedUrl TmxWebUpdate::ParseURL(std::string_view url) const {
    return parseUpdateUrl(url);
}

bool TmxWebUpdate::fetch(const std::string& address, const std::string* file) {
    aborting_ = false;
    Fetched outcome = Fetched::FailedSilently;
    try {
        outcome = transfer(address, file);
    } catch (const std::exception&) {
        // Whatever broke inside the transfer ends it, without an event.
        outcome = Fetched::FailedSilently;
    }
    current_ = nullptr;
    if (outcome == Fetched::Failed) {
        DoDownloadError();
    }
    return outcome == Fetched::Ok;
}

TmxWebUpdate::Fetched TmxWebUpdate::transfer(const std::string& address, const std::string* file) {
    const std::unique_ptr<HttpResponse> response = transport_.get(requestFor(address));
    current_ = response.get();
    if (aborting_) {
        return Fetched::FailedSilently;
    }
    // An error page is no content: it must never be saved and started as the update.
    if (response->status() < 200 || response->status() > 299) {
        return Fetched::Failed;
    }
    const std::optional<std::string> lengthText = response->contentLength();
    std::optional<std::int64_t> announced;
    if (lengthText) {
        announced = announcedLength(*lengthText);
        if (!announced) {
            return Fetched::FailedSilently;
        }
    }
    if (aborting_) {
        return Fetched::FailedSilently;
    }
    // A download must say how long it is, or it cannot be known to be whole.
    if (file != nullptr && !announced) {
        return Fetched::Failed;
    }
    fileSize_ = announced.value_or(0);
    downloadedSize_ = 0;

    std::optional<PartialDownload> out;
    if (file != nullptr) {
        const auto native = nativePathMapper().toNative(*file);
        if (!native) {
            return Fetched::Failed;
        }
        out.emplace(*native);
        if (!out->good()) {
            return Fetched::Failed;
        }
    }
    Sha256 digest;
    std::string text;
    std::array<char, kBlockSize> block;
    for (;;) {
        if (aborting_) {
            return Fetched::FailedSilently;
        }
        const std::size_t got = response->read(block.data(), block.size());
        if (got == 0) {
            break;
        }
        const std::string_view bytes(block.data(), got);
        if (out) {
            if (!out->write(bytes)) {
                return Fetched::Failed;
            }
            digest.update(bytes);
        } else {
            text += bytes;
        }
        downloadedSize_ += static_cast<std::int64_t>(got);
        DoDownload();
        host_.processMessages();
    }
    if (aborting_) {
        return Fetched::FailedSilently;
    }
    if (response->failed()) {
        return Fetched::Failed;
    }
    if (!out) {
        if (downloadedSize_ == 0) {
            return Fetched::Failed;
        }
        info_ = splitLines(decodePageText(text));
        return Fetched::Ok;
    }
    if (downloadedSize_ != fileSize_) {
        return Fetched::Failed;
    }
    if (!updateSha256_.empty() && digest.hexDigest() != lowerHex(updateSha256_)) {
        return Fetched::Failed;
    }
    return out->commit() ? Fetched::Ok : Fetched::Failed;
}

void TmxWebUpdate::DoDownload() {
    if (OnDownload) {
        OnDownload(*this, fileSize_, downloadedSize_);
    }
}

void TmxWebUpdate::DoDownloadError() {
    if (OnDownloadError) {
        OnDownloadError(*this);
    }
}

void TmxWebUpdate::DoBeforeDownload(const std::string& FileName) {
    if (OnBeforeDownload) {
        OnBeforeDownload(*this, FileName);
    }
}

void TmxWebUpdate::DoAfterDownload(const std::string& FileName) {
    if (OnAfterDownload) {
        OnAfterDownload(*this, FileName);
    }
}

void TmxWebUpdate::DoNoUpdateFound() {
    if (OnNoUpdateFound) {
        OnNoUpdateFound(*this);
    }
}

void TmxWebUpdate::DoAfterGetInfo() {
    if (OnAfterGetInfo) {
        OnAfterGetInfo(*this);
    }
}

void TmxWebUpdate::DoBeforeGetInfo() {
    if (OnBeforeGetInfo) {
        OnBeforeGetInfo(*this);
    }
}

void TmxWebUpdate::DoCannotExecute() {
    if (OnCannotExecute) {
        OnCannotExecute(*this);
    }
}

} // namespace vellarion

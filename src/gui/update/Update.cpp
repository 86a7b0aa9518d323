#include "gui/update/Update.h"

#include "core/text/Catalogue.h"
#include "core/update/UpdateSite.h"
#include "gui/kit/Texts.h"
#include "gui/update/QtHttpTransport.h"
#include "gui/update/mxWebUpdateInfo.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <climits>

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs windows.h before it.
#include <shellapi.h>
#endif

namespace vellarion {

Tf_Update* f_Update = nullptr;

bool startDownloadedFile(const std::string& file, const std::string& parameters) {
    const QString path = QString::fromStdString(file);
    const QString arguments = QString::fromStdString(parameters);
#ifdef _WIN32
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(path.utf16()),
                        reinterpret_cast<const wchar_t*>(arguments.utf16()), L"", SW_SHOWNORMAL));
    return result > 32;
#else
    // A file fresh from the web carries no execute permission.
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
    return QProcess::startDetached(path, QProcess::splitCommand(arguments));
#endif
}

void Tf_Update::Host::processMessages() {
    QCoreApplication::processEvents();
}

bool Tf_Update::Host::execute(const std::string& file, const std::string& parameters) {
    return seams_.execute(file, parameters);
}

void Tf_Update::Host::terminate() {
    seams_.terminate();
}

std::unique_ptr<UpdateInfoWindow> Tf_Update::Host::createInfoWindow() {
    return std::make_unique<Tfrm_ShowInfoUpdate>(transport_);
}

namespace {

Tf_Update::Seams withDefaults(Tf_Update::Seams seams) {
    if (!seams.makeTransport) {
        seams.makeTransport = [] { return std::make_unique<QtHttpTransport>(); };
    }
    if (!seams.execute) {
        seams.execute = startDownloadedFile;
    }
    if (!seams.terminate) {
        // Ends the application once the current command has returned.
        seams.terminate = [] {
            QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        };
    }
    return seams;
}

} // namespace

Tf_Update::Tf_Update(Dialogs& dialogs, QWidget* owner, Seams seams)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs), seams_(withDefaults(std::move(seams))), transport_(seams_.makeTransport()),
      host_(seams_, *transport_), WebUpdate(*transport_, host_) {
    setObjectName(QStringLiteral("f_Update"));
    setWindowTitle(QStringLiteral("Web Update"));
    resize(232, 24);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    if (const QScreen* screen =
            owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(3, 4, 225, 17);
    ProgressBar->setTextVisible(false);
    ProgressBar->setValue(0);

    WebUpdate.ProductInfo.setURL(updatePageUrl());
    WebUpdate.ProductInfo.Version = "2.1.3";
    WebUpdate.ProductInfo.VersionFormat = vfStandard;
    WebUpdate.Options = {uoRunUpdate, uoTerminate, uoOverwrite};
    WebUpdate.InfoCaption.OkButton = "&OK";
    WebUpdate.InfoCaption.CancelButton = N_("&Отмена");
    WebUpdate.HTTPPort = 80;
    WebUpdate.OnAfterGetInfo = [this](TmxWebUpdate& s) { WebUpdateAfterGetInfo(s); };
    WebUpdate.OnBeforeShowInfo = [this](TmxWebUpdate& s, bool& show, bool& check) {
        WebUpdateBeforeShowInfo(s, show, check);
    };
    WebUpdate.OnUpdateAvailable = [this](TmxWebUpdate& s, const std::string& actual,
                                         const std::string& offered, bool& canUpdate) {
        WebUpdateUpdateAvailable(s, actual, offered, canUpdate);
    };
    WebUpdate.OnNoUpdateFound = [this](TmxWebUpdate& s) { WebUpdateNoUpdateFound(s); };
    WebUpdate.OnDownload = [this](TmxWebUpdate& s, std::int64_t total, std::int64_t done) {
        WebUpdateDownload(s, total, done);
    };
    WebUpdate.OnDownloadError = [this](TmxWebUpdate& s) { WebUpdateDownloadError(s); };

    FormCreate();
    f_Update = this;
}

Tf_Update::~Tf_Update() {
    if (f_Update == this) {
        f_Update = nullptr;
    }
}

Tf_Update* Tf_Update::open(Dialogs& dialogs, QWidget* owner) {
    auto* window = new Tf_Update(dialogs, owner);
    window->show();
    return window;
}

void Tf_Update::FormCreate() {
    WebUpdate.CheckForAnUpdate();
}

void Tf_Update::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void Tf_Update::FormClose() {
    deleteLater();
}

void Tf_Update::WebUpdateAfterGetInfo(TmxWebUpdate& Sender) {
    Sender.TargetFolder = QDir::toNativeSeparators(QDir::currentPath()).toStdString();
}

void Tf_Update::WebUpdateBeforeShowInfo(TmxWebUpdate&, bool& ShowInfo, bool&) {
    ShowInfo = dialogs_.askYesNo(this, QStringLiteral("Would you like to read the changelog?"),
                                 Dialogs::Icon::Question);
}

void Tf_Update::WebUpdateUpdateAvailable(TmxWebUpdate&, const std::string& ActualVersion,
                                         const std::string& NewVersion, bool& CanUpdate) {
    const QString text =
        QStringLiteral("You are using version %1, but version %2 is "
                       "available.\n\nDo you want to update your application now?")
            .arg(QString::fromStdString(ActualVersion), QString::fromStdString(NewVersion));
    CanUpdate = dialogs_.askYesNo(this, text, Dialogs::Icon::Warning);
}

void Tf_Update::WebUpdateNoUpdateFound(TmxWebUpdate&) {
    dialogs_.showError(this, ui("Обновлений нет!"));
}

void Tf_Update::WebUpdateDownload(TmxWebUpdate&, std::int64_t Total, std::int64_t Downloaded) {
    // A page that does not say its length is as long as what has arrived: a
    // maximum of 0 would turn the bar into an endless busy bar.
    if (Total <= 0) {
        Total = std::max<std::int64_t>(Downloaded, 1);
    }
    // The bar counts in int: very large files are shown in coarser steps.
    while (Total > INT_MAX) {
        Total /= 1024;
        Downloaded /= 1024;
    }
    ProgressBar->setMaximum(static_cast<int>(Total));
    ProgressBar->setValue(static_cast<int>(Downloaded));
}

void Tf_Update::WebUpdateDownloadError(TmxWebUpdate&) {
    dialogs_.showError(this, QStringLiteral("Cannot download data from the web"));
}

} // namespace vellarion

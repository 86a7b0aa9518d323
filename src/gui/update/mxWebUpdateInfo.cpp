#include "gui/update/mxWebUpdateInfo.h"

#include "gui/kit/Texts.h"

#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStringDecoder>
#include <QTextDocument>
#include <QVBoxLayout>

namespace vellarion {

namespace {

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonTop = 6;
constexpr int kBottomHeight = 41;

} // namespace

UpdatePageBrowser::UpdatePageBrowser(HttpTransport& transport, QWidget* parent)
    : QTextBrowser(parent), transport_(transport) {
    setOpenExternalLinks(true);
}

std::optional<QByteArray> UpdatePageBrowser::fetch(const QUrl& url) {
    // Only the web: a page must not make the window read local files.
    if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) {
        return std::nullopt;
    }
    HttpRequest request = page_;
    request.url = url.toString(QUrl::FullyEncoded).toStdString();
    const std::optional<std::string> body = fetchWholeBody(transport_, request);
    if (!body) {
        return std::nullopt;
    }
    return QByteArray::fromStdString(*body);
}

void UpdatePageBrowser::navigate(const HttpRequest& page) {
    page_ = page;
    base_ = QUrl(QString::fromStdString(page.url), QUrl::TolerantMode);
    document()->setBaseUrl(base_);
    const std::optional<QByteArray> html = fetch(base_);
    if (!html) {
        setPlainText(base_.toString());
        return;
    }
    auto decoder = QStringDecoder::decoderForHtml(*html);
    setHtml(decoder.isValid() ? decoder.decode(*html) : QString::fromUtf8(*html));
}

QVariant UpdatePageBrowser::loadResource(int type, const QUrl& name) {
    if (type != QTextDocument::ImageResource && type != QTextDocument::StyleSheetResource) {
        return {};
    }
    const std::optional<QByteArray> bytes = fetch(name.isRelative() ? base_.resolved(name) : name);
    return bytes ? QVariant(*bytes) : QVariant();
}

Tfrm_ShowInfoUpdate::Tfrm_ShowInfoUpdate(HttpTransport& transport, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frm_ShowInfoUpdate"));
    setWindowTitle(QStringLiteral("Web Update"));
    resize(491, 387);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(1);
    WebBrowser = new UpdatePageBrowser(transport, Panel1);
    WebBrowser->setObjectName(QStringLiteral("WebBrowser"));
    WebBrowser->setFrameShape(QFrame::NoFrame);
    auto* inPanel = new QVBoxLayout(Panel1);
    inPanel->setContentsMargins(1, 1, 1, 1);
    inPanel->addWidget(WebBrowser);

    Panel_Bottom = new QFrame(this);
    Panel_Bottom->setObjectName(QStringLiteral("Panel_Bottom"));
    Panel_Bottom->setFrameShape(QFrame::NoFrame);
    Panel_Bottom->setFixedHeight(kBottomHeight);
    btn_OK = new QPushButton(QStringLiteral("OK"), Panel_Bottom);
    btn_OK->setObjectName(QStringLiteral("btn_OK"));
    btn_Cancel = new QPushButton(ui("Отмена"), Panel_Bottom);
    btn_Cancel->setObjectName(QStringLiteral("btn_Cancel"));
    for (QPushButton* b : {btn_OK, btn_Cancel}) {
        b->setGeometry(0, kButtonTop, kButtonWidth, kButtonHeight);
    }
    btn_OK->setDefault(true);
    connect(btn_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    Panel_Bottom->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1, 1);
    layout->addWidget(Panel_Bottom);
}

bool Tfrm_ShowInfoUpdate::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel_Bottom && event->type() == QEvent::Resize) {
        Panel_BottomResize();
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_ShowInfoUpdate::Panel_BottomResize() {
    btn_OK->move((Panel_Bottom->width() - (btn_OK->width() + btn_Cancel->width() + 6)) / 2,
                 btn_OK->y());
    btn_Cancel->move(btn_OK->x() + btn_OK->width() + 3, btn_Cancel->y());
}

void Tfrm_ShowInfoUpdate::setButtonCaptions(const std::string& ok, const std::string& cancel) {
    btn_OK->setText(shownText(ok));
    btn_Cancel->setText(shownText(cancel));
}

void Tfrm_ShowInfoUpdate::Navigate(const HttpRequest& page) {
    WebBrowser->navigate(page);
}

bool Tfrm_ShowInfoUpdate::showModal() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    return exec() == QDialog::Accepted;
}

} // namespace vellarion

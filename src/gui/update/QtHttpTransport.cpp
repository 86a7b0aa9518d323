#include "gui/update/QtHttpTransport.h"

#include <QEventLoop>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace vellarion {

namespace {

constexpr int kMaxHttpRedirects = 10;

class SystemProxyFactory : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        return systemProxyForQuery(query);
    }
};

class QtHttpResponse : public HttpResponse {
public:
    explicit QtHttpResponse(QNetworkReply* reply) : reply_(reply) {
        // The answer's headers come with its first bytes or with its end.
        waitWhile([this] { return reply_->bytesAvailable() == 0; });
    }

    int status() const override {
        return reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }

    std::optional<std::string> contentLength() const override {
        if (!reply_->hasRawHeader("Content-Length")) {
            return std::nullopt;
        }
        return reply_->rawHeader("Content-Length").toStdString();
    }

    std::size_t read(char* buffer, std::size_t size) override {
        waitWhile([this] { return reply_->bytesAvailable() == 0; });
        if (!reply_->isOpen()) { // aborted
            return 0;
        }
        const qint64 got = reply_->read(buffer, static_cast<qint64>(size));
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }

    bool failed() const override { return reply_->error() != QNetworkReply::NoError; }

    void abort() override { reply_->abort(); }

private:
    template <typename Condition> void waitWhile(Condition condition) {
        while (!reply_->isFinished() && condition()) {
            QEventLoop loop;
            QObject::connect(reply_.get(), &QNetworkReply::readyRead, &loop, &QEventLoop::quit);
            QObject::connect(reply_.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
            loop.exec();
        }
    }

    std::unique_ptr<QNetworkReply> reply_;
};

} // namespace

QtHttpTransport::QtHttpTransport(std::chrono::milliseconds stallTimeout)
    : stallTimeout_(stallTimeout) {
    manager_.setProxyFactory(new SystemProxyFactory); // the manager owns it
    manager_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

std::unique_ptr<HttpResponse> QtHttpTransport::get(const HttpRequest& request) {
    QUrl url(QString::fromStdString(request.url), QUrl::TolerantMode);
    if (!request.userName.empty()) {
        url.setUserName(QString::fromStdString(request.userName));
        url.setPassword(QString::fromStdString(request.password));
    }
    QNetworkRequest get(url);
    get.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("TmxWebUpdate"));
    get.setRawHeader("Accept", "*/*");
    // The update must come from the server itself, byte for byte as announced.
    get.setRawHeader("Cache-Control", "no-cache");
    get.setRawHeader("Pragma", "no-cache");
    get.setRawHeader("Accept-Encoding", "identity");
    get.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    get.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    get.setMaximumRedirectsAllowed(kMaxHttpRedirects);
    get.setTransferTimeout(static_cast<int>(stallTimeout_.count()));
    return std::make_unique<QtHttpResponse>(manager_.get(get));
}

} // namespace vellarion

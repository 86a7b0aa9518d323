#pragma once

#include "core/update/HttpTransport.h"

#include <QNetworkAccessManager>
#include <chrono>

namespace vellarion {

// The update check's HTTP(S) transport over Qt Network: a GET that bypasses
// every cache, with the user agent "TmxWebUpdate" and the system's proxy
// settings. While it waits for the server the application's events are
// handled, so the screen stays live.
class QtHttpTransport : public HttpTransport {
public:
    // A transfer that receives nothing for `stallTimeout` is given up.
    explicit QtHttpTransport(std::chrono::milliseconds stallTimeout = std::chrono::seconds(30));
    std::unique_ptr<HttpResponse> get(const HttpRequest& request) override;

private:
    QNetworkAccessManager manager_;
    std::chrono::milliseconds stallTimeout_;
};

} // namespace vellarion

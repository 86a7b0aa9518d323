#pragma once

#include "update/HttpTransport.h"

#include <QNetworkAccessManager>

namespace vellarion {

// The update check's HTTP(S) transport over Qt Network: a GET that bypasses
// every cache, with the user agent "TmxWebUpdate" and the system's proxy
// settings. While it waits for the server the application's events are
// handled, so the screen stays live.
class QtHttpTransport : public HttpTransport {
public:
    QtHttpTransport();
    std::unique_ptr<HttpResponse> get(const HttpRequest& request) override;

private:
    QNetworkAccessManager manager_;
};

} // namespace vellarion

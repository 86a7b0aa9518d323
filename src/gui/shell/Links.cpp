#include "gui/shell/Links.h"

#include "core/Config.h"

#include <QDesktopServices>

namespace vellarion {

QUrl makerPage(const char* path) {
    QUrl url;
    url.setScheme(QString::fromLatin1(config::kWebScheme));
    url.setHost(QString::fromLatin1(config::kMakerHost));
    url.setPath(QString::fromLatin1(path));
    return url;
}

QUrl contactLink() {
    return QUrl(QStringLiteral("mailto:") + QString::fromLatin1(config::kContactAddress));
}

void openLink(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

} // namespace vellarion

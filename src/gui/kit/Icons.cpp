#include "gui/kit/Icons.h"

#include <QDir>

static void initVellarionResources() {
    Q_INIT_RESOURCE(vellarion);
}

namespace vellarion {

void ensureResources() {
    static const bool done = [] {
        initVellarionResources();
        return true;
    }();
    (void)done;
}

QString iconResource(IconId id) {
    const char* name = "emblem";
    switch (id) {
    case IconId::InternetExplorer:
        name = "explorer";
        break;
    case IconId::Firefox:
        name = "firefox";
        break;
    case IconId::Chrome:
        name = "chrome";
        break;
    case IconId::Opera:
        name = "opera";
        break;
    case IconId::Safari:
        name = "safari";
        break;
    case IconId::Flock:
        name = "flock";
        break;
    case IconId::Edge:
        name = "edge";
        break;
    case IconId::Brave:
        name = "brave";
        break;
    case IconId::Vivaldi:
        name = "vivaldi";
        break;
    case IconId::OperaStable:
        name = "opera-stable";
        break;
    case IconId::OperaGx:
        name = "opera-gx";
        break;
    case IconId::Chromium:
        name = "chromium";
        break;
    case IconId::LibreWolf:
        name = "librewolf";
        break;
    case IconId::Waterfox:
        name = "waterfox";
        break;
    case IconId::Floorp:
        name = "floorp";
        break;
    case IconId::Zen:
        name = "zen";
        break;
    case IconId::Convert:
        name = "convert";
        break;
    case IconId::About:
        name = "about";
        break;
    case IconId::Update:
        name = "update";
        break;
    case IconId::WebSite:
        name = "website";
        break;
    case IconId::Close:
        name = "close";
        break;
    case IconId::Donate:
        name = "donate";
        break;
    case IconId::Email:
        name = "email";
        break;
    case IconId::Luna:
        name = "luna";
        break;
    case IconId::Obsidian:
        name = "obsidian";
        break;
    case IconId::Silver:
        name = "silver";
        break;
    case IconId::Schedule:
        name = "schedule";
        break;
    case IconId::Emblem:
        break;
    }
    return QStringLiteral(":/icons/%1.svg").arg(QString::fromLatin1(name));
}

QIcon pictureIcon(const QString& resource) {
    QIcon icon;
    QString folder = resource;
    if (folder.endsWith(QStringLiteral(".svg"))) {
        folder.chop(4);
    }
    const QDir rendered(folder);
    for (const QString& file :
         rendered.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
        icon.addFile(rendered.filePath(file));
    }
    return icon;
}

QIcon programIcon(IconId id) {
    ensureResources();
#ifndef VELLARION_PNG_PICTURES
    QIcon icon;
    // Both sizes of the image lists, drawn from the same picture.
    const QString file = iconResource(id);
    icon.addFile(file, QSize(16, 16));
    icon.addFile(file, QSize(32, 32));
    return icon;
#else
    return pictureIcon(iconResource(id));
#endif
}

QString pictureResource(PictureId id) {
    const char* name = "welcome-background";
    switch (id) {
    case PictureId::WelcomeBackground:
        break;
    case PictureId::WelcomeBanner:
        name = "welcome-banner";
        break;
    case PictureId::HeaderBar:
        name = "header-bar";
        break;
    case PictureId::AboutLogo:
        name = "about-logo";
        break;
    case PictureId::AboutNameBand:
        name = "about-name-band";
        break;
    case PictureId::AboutFooter:
        name = "about-footer";
        break;
    }
    ensureResources();
    return QStringLiteral(":/pictures/%1.svg").arg(QString::fromLatin1(name));
}

} // namespace vellarion

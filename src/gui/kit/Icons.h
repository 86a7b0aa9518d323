#pragma once

#include <QIcon>
#include <QString>

namespace vellarion {

// The program's icons: our own drawings, kept as SVG in the resources and
// rendered sharp at 16 x 16 (quick-access bar, menus), 32 x 32 (ribbon) and
// 48 x 48 (wizard headers).
enum class IconId {
    InternetExplorer,
    Firefox,
    Chrome,
    Opera,
    Safari,
    Flock,
    Edge,
    Brave,
    Vivaldi,
    OperaStable,
    OperaGx,
    Chromium,
    LibreWolf,
    Waterfox,
    Floorp,
    Zen,
    Convert,
    About,
    Update,
    WebSite,
    Close,
    Donate,
    Email,
    Luna,
    Obsidian,
    Silver,
    Schedule,
    Emblem, // the program's own mark: window icon, application button
};

QIcon programIcon(IconId id);
// The resource of the icon's SVG drawing (see pictureIcon).
QString iconResource(IconId id);

// The pictures of the welcome and About windows.
enum class PictureId {
    WelcomeBackground,
    WelcomeBanner,
    HeaderBar,
    AboutLogo,
    AboutNameBand,
    AboutFooter,
};

QString pictureResource(PictureId id);

// A build without QtSvg holds, for each drawing ":/P/NAME.svg", the folder
// ":/P/NAME/" of PNG files rendered from it at build time at the sizes the
// windows use and twice those; this icon has them all, and draws with the
// one that fits the size and the screen's pixel density. Null when there is
// no such picture.
QIcon pictureIcon(const QString& resource);

// Makes sure the resources of the gui library are registered (they live in a
// static library, so something must pull them in).
void ensureResources();

} // namespace vellarion

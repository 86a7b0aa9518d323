#pragma once

#include <QIcon>
#include <QString>

namespace vellarion {

// The program's icons: our own drawings, kept as SVG in the resources and
// rendered sharp at 16 x 16 (quick-access bar, menus) and 32 x 32 (ribbon).
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

// Makes sure the resources of the gui library are registered (they live in a
// static library, so something must pull them in).
void ensureResources();

} // namespace vellarion

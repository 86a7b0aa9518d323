#include "gui/wizards/WizardPictures.h"

#include "core/services/Text.h"
#include "gui/kit/Icons.h"

static void initWizardResources() {
    Q_INIT_RESOURCE(wizards);
}

namespace vellarion {

namespace {

// The resources live in a static library: something must pull them in.
QString wizardResource(const QString& name) {
    static const bool done = [] {
        initWizardResources();
        return true;
    }();
    (void)done;
    return QStringLiteral(":/wizards/") + name;
}

struct Browser {
    std::string_view id;
    IconId icon;
};

constexpr Browser kBrowsers[] = {
    {"ie", IconId::InternetExplorer}, {"firefox", IconId::Firefox},
    {"chrome", IconId::Chrome},       {"opera", IconId::Opera},
    {"safari", IconId::Safari},       {"flock", IconId::Flock},
    {"edge", IconId::Edge},           {"brave", IconId::Brave},
    {"vivaldi", IconId::Vivaldi},     {"opera-stable", IconId::OperaStable},
    {"opera-gx", IconId::OperaGx},    {"chromium", IconId::Chromium},
    {"librewolf", IconId::LibreWolf}, {"waterfox", IconId::Waterfox},
    {"floorp", IconId::Floorp},       {"zen", IconId::Zen},
};

} // namespace

QString fullWizardBackground() {
    return wizardResource(QStringLiteral("full-background.svg"));
}

QString browserBanner(std::string_view browserId) {
    return wizardResource(
        QStringLiteral("banner-%1.svg")
            .arg(QString::fromUtf8(browserId.data(), static_cast<qsizetype>(browserId.size()))));
}

QString browserIcon(std::string_view browserId) {
    ensureResources();
    for (const Browser& browser : kBrowsers) {
        if (equalsIgnoreCase(browser.id, browserId)) {
            return iconResource(browser.icon);
        }
    }
    return iconResource(IconId::Emblem);
}

} // namespace vellarion

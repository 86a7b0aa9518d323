// The program's pictures: every drawing a window shows is there and draws in
// its place; a build that renders them to PNGs has each at the sizes the
// windows use and twice those, and draws with the rendering made for the
// size and pixel density.
#include "gui/kit/Controls.h"
#include "gui/kit/Icons.h"
#include "gui/wizards/WizardPictures.h"

#include <QImage>
#include <QSet>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace vellarion::test {
namespace {

struct Drawing {
    QString resource;
    QSize size; // where the windows place it
};

constexpr const char* kBrowserIds[] = {
    "ie",      "firefox",      "chrome",   "opera",    "safari",    "flock",    "edge",   "brave",
    "vivaldi", "opera-stable", "opera-gx", "chromium", "librewolf", "waterfox", "floorp", "zen"};

std::vector<Drawing> drawings() {
    std::vector<Drawing> all;
    for (int id = 0; id <= static_cast<int>(IconId::Emblem); ++id) {
        // The wizard headers show the browser's icon at 48 x 48.
        all.push_back({iconResource(static_cast<IconId>(id)), QSize(48, 48)});
    }
    const std::pair<PictureId, QSize> pictures[] = {
        {PictureId::WelcomeBackground, {599, 531}}, {PictureId::WelcomeBanner, {599, 88}},
        {PictureId::HeaderBar, {571, 22}},          {PictureId::AboutLogo, {265, 96}},
        {PictureId::AboutNameBand, {265, 32}},      {PictureId::AboutFooter, {265, 54}},
    };
    for (const auto& [id, size] : pictures) {
        all.push_back({pictureResource(id), size});
    }
    all.push_back({fullWizardBackground(), QSize(599, 531)});
    for (const char* id : kBrowserIds) {
        all.push_back({browserBanner(id), QSize(583, 55)});
    }
    return all;
}

// What the picture puts on a transparent surface of its size at the pixel
// density given.
QImage drawn(const Drawing& d, qreal density) {
    Picture picture(d.resource, nullptr);
    picture.resize(d.size);
    QImage image(d.size * density, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(density);
    image.fill(Qt::transparent);
    picture.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TEST(Pictures, EveryDrawingOfTheWindowsIsThereAndDrawsInItsPlace) {
    for (const Drawing& d : drawings()) {
        SCOPED_TRACE(d.resource.toStdString());
        ASSERT_TRUE(Picture(d.resource, nullptr).isValid());
        const QImage image = drawn(d, 1.0);
        qsizetype painted = 0;
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                painted += qAlpha(pixel) > 0 ? 1 : 0;
                colours.insert(pixel);
            }
        }
        // The icons are round or shaped; the other pictures fill their rect.
        EXPECT_GT(painted, image.width() * image.height() / 4);
        EXPECT_GT(colours.size(), 3) << "a drawing, not a flat fill";
    }
    EXPECT_FALSE(Picture(QStringLiteral(":/pictures/no-such-picture.svg"), nullptr).isValid());
}

TEST(Pictures, RenderedOnesComeAtTheSizesTheWindowsUseAndTwiceThose) {
    if (pictureIcon(iconResource(IconId::Emblem)).isNull()) {
        GTEST_SKIP() << "this build draws the SVG drawings themselves";
    }
    const auto sizesOf = [](const QIcon& icon) {
        QList<QSize> sizes = icon.availableSizes();
        std::sort(sizes.begin(), sizes.end(),
                  [](QSize a, QSize b) { return a.width() < b.width(); });
        return sizes;
    };
    for (int id = 0; id <= static_cast<int>(IconId::Emblem); ++id) {
        SCOPED_TRACE(id);
        // Menus and the quick-access bar, the ribbon, the wizard headers.
        EXPECT_EQ(sizesOf(programIcon(static_cast<IconId>(id))),
                  (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {64, 64}, {96, 96}}));
    }
    for (const Drawing& d : drawings()) {
        if (d.resource.startsWith(QStringLiteral(":/icons/"))) {
            continue;
        }
        SCOPED_TRACE(d.resource.toStdString());
        EXPECT_EQ(sizesOf(pictureIcon(d.resource)), (QList<QSize>{d.size, d.size * 2}));
    }

    // On a screen of twice the density, a banner and a header icon are the
    // renderings made for it, pixel for pixel, not the small ones enlarged.
    for (const Drawing& d : {Drawing{browserBanner("firefox"), QSize(583, 55)},
                             Drawing{iconResource(IconId::Firefox), QSize(48, 48)}}) {
        SCOPED_TRACE(d.resource.toStdString());
        QString folder = d.resource;
        folder.chop(4);
        const QSize twice = d.size * 2;
        const QImage rendering =
            QImage(
                QStringLiteral("%1/%2x%3.png").arg(folder).arg(twice.width()).arg(twice.height()))
                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ASSERT_EQ(rendering.size(), twice);
        QImage image = drawn(d, 2.0);
        image.setDevicePixelRatio(1.0);
        EXPECT_EQ(image, rendering);
    }
}

} // namespace
} // namespace vellarion::test

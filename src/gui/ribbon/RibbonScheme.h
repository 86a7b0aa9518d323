#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;
class QPainterPath;

namespace vellarion {

// The ribbon's three colour schemes.
enum class RibbonScheme { Luna, Obsidian, Silver };

QString schemeName(RibbonScheme scheme);

// The colours one scheme paints the ribbon with.
struct RibbonColors {
    QColor frameTop, frameBottom;   // title strip and tab row
    QColor captionText;             // the ribbon's caption
    QColor tabText, tabTextCurrent; // tab captions
    QColor tabHover;                // glow of a tab under the mouse
    QColor bodyTop, bodyBottom;     // the page under the tabs
    QColor bodyBorder;
    QColor groupCaption;
    QColor groupSeparator;
    QColor buttonText;
    QColor appTop, appBottom, appText; // the application button
    QColor keyTipTop, keyTipBottom, keyTipBorder, keyTipText;
    QColor tipTop, tipBottom, tipBorder, tipText;
};

const RibbonColors& schemeColors(RibbonScheme scheme);

// The outline of a tab: rounded at the top, open at the bottom where it
// meets its page.
QPainterPath tabOutline(const QRectF& rect);

// Faces of buttons that the mouse is over or pressing; the same warm
// highlight in every scheme.
enum class FaceState { Normal, Hover, Pressed, Checked };
void paintButtonFace(QPainter& painter, const QRectF& rect, FaceState state);

} // namespace vellarion

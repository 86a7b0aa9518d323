#include "gui/ribbon/RibbonScheme.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace vellarion {

QString schemeName(RibbonScheme scheme) {
    switch (scheme) {
    case RibbonScheme::Luna:
        return QStringLiteral("Luna");
    case RibbonScheme::Obsidian:
        return QStringLiteral("Obsidian");
    case RibbonScheme::Silver:
        return QStringLiteral("Silver");
    }
    return QString();
}

namespace {

RibbonColors luna() {
    RibbonColors c;
    c.frameTop = QColor(0xe3, 0xed, 0xfa);
    c.frameBottom = QColor(0xcf, 0xdd, 0xf0);
    c.captionText = QColor(0x1e, 0x39, 0x5b);
    c.tabText = QColor(0x15, 0x42, 0x8b);
    c.tabTextCurrent = QColor(0x15, 0x42, 0x8b);
    c.tabHover = QColor(0xff, 0xff, 0xff, 0x90);
    c.bodyTop = QColor(0xfb, 0xfd, 0xff);
    c.bodyBottom = QColor(0xdb, 0xe6, 0xf5);
    c.bodyBorder = QColor(0x8d, 0xb2, 0xe3);
    c.groupCaption = QColor(0x3e, 0x6a, 0xaa);
    c.groupSeparator = QColor(0xa9, 0xc3, 0xe6);
    c.buttonText = QColor(0x15, 0x42, 0x8b);
    c.appTop = QColor(0x3d, 0x80, 0xd6);
    c.appBottom = QColor(0x1c, 0x56, 0xa8);
    c.appText = Qt::white;
    c.keyTipTop = QColor(0xff, 0xff, 0xff);
    c.keyTipBottom = QColor(0xdf, 0xe9, 0xf5);
    c.keyTipBorder = QColor(0x5b, 0x7f, 0xb0);
    c.keyTipText = QColor(0x1e, 0x39, 0x5b);
    c.tipTop = QColor(0xff, 0xff, 0xff);
    c.tipBottom = QColor(0xe4, 0xec, 0xf7);
    c.tipBorder = QColor(0x76, 0x8c, 0xab);
    c.tipText = QColor(0x4c, 0x4c, 0x4c);
    return c;
}

RibbonColors obsidian() {
    RibbonColors c;
    c.frameTop = QColor(0x4f, 0x4f, 0x4f);
    c.frameBottom = QColor(0x33, 0x33, 0x33);
    c.captionText = QColor(0xf0, 0xf0, 0xf0);
    c.tabText = QColor(0xf4, 0xf4, 0xf4);
    c.tabTextCurrent = QColor(0x26, 0x26, 0x26);
    c.tabHover = QColor(0xff, 0xff, 0xff, 0x38);
    c.bodyTop = QColor(0xee, 0xee, 0xef);
    c.bodyBottom = QColor(0xbc, 0xbd, 0xc0);
    c.bodyBorder = QColor(0x5e, 0x5e, 0x5e);
    c.groupCaption = QColor(0x4a, 0x4a, 0x4a);
    c.groupSeparator = QColor(0x8e, 0x8f, 0x93);
    c.buttonText = QColor(0x23, 0x23, 0x23);
    c.appTop = QColor(0x5a, 0x5a, 0x5e);
    c.appBottom = QColor(0x28, 0x28, 0x2b);
    c.appText = Qt::white;
    c.keyTipTop = QColor(0x6a, 0x6a, 0x6a);
    c.keyTipBottom = QColor(0x3a, 0x3a, 0x3a);
    c.keyTipBorder = QColor(0x1e, 0x1e, 0x1e);
    c.keyTipText = Qt::white;
    c.tipTop = QColor(0xff, 0xff, 0xff);
    c.tipBottom = QColor(0xe2, 0xe2, 0xe4);
    c.tipBorder = QColor(0x5e, 0x5e, 0x5e);
    c.tipText = QColor(0x3a, 0x3a, 0x3a);
    return c;
}

RibbonColors silver() {
    RibbonColors c;
    c.frameTop = QColor(0xf1, 0xf3, 0xf5);
    c.frameBottom = QColor(0xd9, 0xdd, 0xe2);
    c.captionText = QColor(0x3b, 0x3b, 0x3b);
    c.tabText = QColor(0x3b, 0x3b, 0x3b);
    c.tabTextCurrent = QColor(0x26, 0x26, 0x26);
    c.tabHover = QColor(0xff, 0xff, 0xff, 0xa0);
    c.bodyTop = QColor(0xff, 0xff, 0xff);
    c.bodyBottom = QColor(0xe1, 0xe4, 0xe9);
    c.bodyBorder = QColor(0xa5, 0xab, 0xb3);
    c.groupCaption = QColor(0x58, 0x5d, 0x63);
    c.groupSeparator = QColor(0xc2, 0xc6, 0xcc);
    c.buttonText = QColor(0x33, 0x33, 0x33);
    c.appTop = QColor(0x8d, 0x96, 0xa3);
    c.appBottom = QColor(0x62, 0x6b, 0x78);
    c.appText = Qt::white;
    c.keyTipTop = QColor(0xff, 0xff, 0xff);
    c.keyTipBottom = QColor(0xe3, 0xe5, 0xe8);
    c.keyTipBorder = QColor(0x74, 0x7a, 0x82);
    c.keyTipText = QColor(0x26, 0x26, 0x26);
    c.tipTop = QColor(0xff, 0xff, 0xff);
    c.tipBottom = QColor(0xe8, 0xea, 0xed);
    c.tipBorder = QColor(0x7a, 0x7f, 0x86);
    c.tipText = QColor(0x4c, 0x4c, 0x4c);
    return c;
}

} // namespace

const RibbonColors& schemeColors(RibbonScheme scheme) {
    static const RibbonColors lunaColors = luna();
    static const RibbonColors obsidianColors = obsidian();
    static const RibbonColors silverColors = silver();
    switch (scheme) {
    case RibbonScheme::Obsidian:
        return obsidianColors;
    case RibbonScheme::Silver:
        return silverColors;
    case RibbonScheme::Luna:
        break;
    }
    return lunaColors;
}

QPainterPath tabOutline(const QRectF& r) {
    const qreal radius = 3;
    QPainterPath path;
    path.moveTo(r.left(), r.bottom() + 1);
    path.lineTo(r.left(), r.top() + radius);
    path.quadTo(r.left(), r.top(), r.left() + radius, r.top());
    path.lineTo(r.right() - radius, r.top());
    path.quadTo(r.right(), r.top(), r.right(), r.top() + radius);
    path.lineTo(r.right(), r.bottom() + 1);
    return path;
}

void paintButtonFace(QPainter& painter, const QRectF& rect, FaceState state) {
    if (state == FaceState::Normal) {
        return;
    }
    QColor top, middle, bottom, border;
    switch (state) {
    case FaceState::Hover:
        top = QColor(0xff, 0xfb, 0xe6);
        middle = QColor(0xff, 0xe9, 0xa8);
        bottom = QColor(0xff, 0xf3, 0xc8);
        border = QColor(0xdd, 0xc3, 0x7b);
        break;
    case FaceState::Pressed:
    case FaceState::Checked:
        top = QColor(0xfc, 0xd9, 0x9d);
        middle = QColor(0xf8, 0xb6, 0x50);
        bottom = QColor(0xfb, 0xd3, 0x85);
        border = QColor(0xc2, 0x96, 0x4a);
        break;
    case FaceState::Normal:
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0.0, top);
    fill.setColorAt(0.45, middle);
    fill.setColorAt(1.0, bottom);
    painter.setPen(border);
    painter.setBrush(fill);
    painter.drawRoundedRect(r, 2.5, 2.5);
    // A soft inner light line, the glassy look of the highlight.
    painter.setPen(QColor(255, 255, 255, 150));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(r.adjusted(1, 1, -1, -1), 2, 2);
    painter.restore();
}

} // namespace vellarion

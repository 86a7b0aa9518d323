#include "gui/ribbon/ScreenTip.h"

#include "gui/ribbon/Ribbon.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

namespace vellarion {

namespace {

constexpr int kTipWidth = 220;
constexpr int kMargin = 7;
constexpr int kIndent = 10;

} // namespace

void ScreenTipsManager::setScreenTip(const QAction* action, const QString& header,
                                     const QString& description) {
    tips_.insert(action, Tip{header, description});
}

ScreenTip::ScreenTip(Ribbon* ribbon)
    : QWidget(ribbon, Qt::ToolTip | Qt::FramelessWindowHint), ribbon_(ribbon) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QFont ScreenTip::headerFont() const {
    QFont bold = font();
    bold.setBold(true);
    return bold;
}

QRect ScreenTip::headerRect() const {
    if (header_.isEmpty()) {
        return QRect(kMargin, kMargin, 0, 0);
    }
    const QFontMetrics metrics(headerFont());
    const QRect bounds =
        metrics.boundingRect(QRect(0, 0, kTipWidth - 2 * kMargin, 1000), Qt::TextWordWrap, header_);
    return QRect(kMargin, kMargin, kTipWidth - 2 * kMargin, bounds.height());
}

QRect ScreenTip::descriptionRect() const {
    const QRect head = headerRect();
    if (description_.isEmpty()) {
        return QRect(kMargin, head.bottom(), 0, 0);
    }
    // The description sits under the header, indented, as in office screen tips.
    const int indent = header_.isEmpty() ? 0 : kIndent;
    const int width = kTipWidth - 2 * kMargin - indent;
    const QRect bounds =
        fontMetrics().boundingRect(QRect(0, 0, width, 1000), Qt::TextWordWrap, description_);
    const int top = header_.isEmpty() ? kMargin : head.bottom() + 1 + 6;
    return QRect(kMargin + indent, top, width, bounds.height());
}

void ScreenTip::showTip(QWidget* anchor, const QString& header, const QString& description) {
    header_ = header;
    description_ = description;
    anchor_ = anchor;
    setFont(ribbon_->font());
    const QRect text = descriptionRect();
    resize(kTipWidth, std::max(headerRect().bottom(), text.bottom()) + 1 + kMargin);

    // Below the ribbon for buttons on a page, just below the anchor elsewhere.
    const QPoint inRibbon = anchor->mapTo(ribbon_, QPoint(0, 0));
    int y = anchor->mapToGlobal(QPoint(0, anchor->height())).y() + 3;
    if (inRibbon.y() >= ribbon_->pageTop()) {
        y = ribbon_->mapToGlobal(QPoint(0, ribbon_->height())).y() + 2;
    }
    QPoint place(anchor->mapToGlobal(QPoint(0, 0)).x(), y);
    if (const QScreen* screen = anchor->screen()) {
        const QRect available = screen->availableGeometry();
        place.setX(std::clamp(place.x(), available.left(),
                              std::max(available.left(), available.right() - width())));
        place.setY(std::clamp(place.y(), available.top(),
                              std::max(available.top(), available.bottom() - height())));
    }
    move(place);
    show();
    update();
}

void ScreenTip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const RibbonColors& colors = ribbon_->colors();
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, colors.tipTop);
    fill.setColorAt(1, colors.tipBottom);
    painter.fillRect(rect(), fill);
    painter.setPen(colors.tipBorder);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(colors.tipText);
    if (!header_.isEmpty()) {
        painter.setFont(headerFont());
        painter.drawText(headerRect(), Qt::TextWordWrap, header_);
        painter.setFont(font());
    }
    painter.drawText(descriptionRect(), Qt::TextWordWrap, description_);
}

} // namespace vellarion

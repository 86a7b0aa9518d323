#include "gui/ribbon/RibbonButton.h"

#include "gui/ribbon/Ribbon.h"
#include "gui/ribbon/RibbonApplicationMenu.h"
#include "gui/ribbon/ScreenTip.h"

#include <QAction>
#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace vellarion {

namespace {

constexpr int kLargeIcon = 32;
constexpr int kSmallIcon = 16;
constexpr int kSmallButton = 22;

// "&Internet Explorer" -> "Internet Explorer"; "&&" stands for "&".
QString withoutMnemonics(const QString& text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
                plain += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        plain += text[i];
    }
    return plain;
}

FaceState faceOf(const QAbstractButton& button) {
    if (!button.isEnabled()) {
        return FaceState::Normal;
    }
    if (button.isDown()) {
        return FaceState::Pressed;
    }
    if (button.underMouse()) {
        return FaceState::Hover;
    }
    return FaceState::Normal;
}

} // namespace

RibbonButton::RibbonButton(Ribbon* ribbon, Kind kind, QAction* action, const QString& caption,
                           QWidget* parent)
    : QAbstractButton(parent), ribbon_(ribbon), kind_(kind), action_(action) {
    setText(caption);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
    setObjectName(action->objectName() +
                  (kind == Kind::Small ? QStringLiteral("QuickAccess") : QStringLiteral("Button")));
    setAccessibleName(withoutMnemonics(kind == Kind::Small ? action->text() : caption));
    connect(this, &QAbstractButton::clicked, action, [this] {
        ribbon_->hideScreenTip();
        if (action_ != nullptr) {
            action_->trigger();
        }
    });
    connect(action, &QAction::changed, this, &RibbonButton::syncWithAction);
    syncWithAction();
}

void RibbonButton::syncWithAction() {
    if (action_ == nullptr) {
        return;
    }
    setEnabled(action_->isEnabled());
    setIcon(action_->icon());
    update();
}

QStringList RibbonButton::captionLines() const {
    const QString plain = withoutMnemonics(text());
    if (kind_ == Kind::Small || plain.isEmpty()) {
        return {};
    }
    // Two words or more go over two lines, split where the longer line is
    // shortest, as on the large buttons of an office ribbon.
    const QFontMetrics metrics = fontMetrics();
    QStringList best{plain};
    int bestWidth = metrics.horizontalAdvance(plain);
    for (qsizetype i = plain.indexOf(QLatin1Char(' ')); i >= 0;
         i = plain.indexOf(QLatin1Char(' '), i + 1)) {
        const QString first = plain.left(i).trimmed();
        const QString second = plain.mid(i + 1).trimmed();
        const int width =
            std::max(metrics.horizontalAdvance(first), metrics.horizontalAdvance(second));
        if (best.size() == 1 || width < bestWidth) {
            best = QStringList{first, second};
            bestWidth = width;
        }
    }
    return best;
}

int RibbonButton::largeHeight(const QFontMetrics& metrics) {
    return 3 + kLargeIcon + 4 + 2 * metrics.height() + 3;
}

QSize RibbonButton::sizeHint() const {
    if (kind_ == Kind::Small) {
        return QSize(kSmallButton, kSmallButton);
    }
    if (kind_ == Kind::Row) {
        const int textWidth = fontMetrics().horizontalAdvance(withoutMnemonics(text()));
        return QSize(3 + kSmallIcon + 4 + textWidth + 6, kSmallButton);
    }
    int textWidth = 0;
    for (const QString& line : captionLines()) {
        textWidth = std::max(textWidth, fontMetrics().horizontalAdvance(line));
    }
    return QSize(std::max(42, textWidth + 12), largeHeight(fontMetrics()));
}

bool RibbonButton::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ToolTip:
        if (action_ != nullptr) {
            const ScreenTipsManager::Tip tip = ribbon_->screenTips()->screenTip(action_);
            if (ribbon_->screenTips()->hasScreenTip(action_)) {
                ribbon_->showScreenTip(this, tip.header, tip.description);
            } else {
                ribbon_->showScreenTip(this, QString(), action_->toolTip());
            }
        }
        return true;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::Hide:
        ribbon_->hideScreenTip();
        break;
    default:
        break;
    }
    return QAbstractButton::event(event);
}

void RibbonButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintButtonFace(painter, rect(), faceOf(*this));
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    if (kind_ == Kind::Small) {
        const QRect iconRect((width() - kSmallIcon) / 2, (height() - kSmallIcon) / 2, kSmallIcon,
                             kSmallIcon);
        icon().paint(&painter, iconRect, Qt::AlignCenter, mode);
        return;
    }
    QColor textColor = ribbon_->colors().buttonText;
    if (!isEnabled()) {
        textColor = QColor(0x8d, 0x8d, 0x8d);
    }
    if (kind_ == Kind::Row) {
        const QRect iconRect(3, (height() - kSmallIcon) / 2, kSmallIcon, kSmallIcon);
        icon().paint(&painter, iconRect, Qt::AlignCenter, mode);
        painter.setPen(textColor);
        painter.drawText(QRect(iconRect.right() + 5, 0, width() - iconRect.right() - 5, height()),
                         Qt::AlignLeft | Qt::AlignVCenter, withoutMnemonics(text()));
        return;
    }
    const QRect iconRect((width() - kLargeIcon) / 2, 3, kLargeIcon, kLargeIcon);
    icon().paint(&painter, iconRect, Qt::AlignCenter, mode);
    painter.setPen(textColor);
    int y = iconRect.bottom() + 4;
    for (const QString& line : captionLines()) {
        painter.drawText(QRect(0, y, width(), fontMetrics().height()), Qt::AlignCenter, line);
        y += fontMetrics().height();
    }
}

RibbonApplicationButton::RibbonApplicationButton(Ribbon* ribbon, QWidget* parent)
    : QAbstractButton(parent), ribbon_(ribbon) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
    menu_ = new RibbonApplicationMenu(ribbon, this);
    connect(this, &QAbstractButton::pressed, this, &RibbonApplicationButton::showMenu);
    // The button stays lit while its menu is open.
    connect(menu_, &QMenu::aboutToShow, this, qOverload<>(&QWidget::update));
    connect(menu_, &QMenu::aboutToHide, this, qOverload<>(&QWidget::update));
}

void RibbonApplicationButton::showMenu() {
    ribbon_->hideScreenTip();
    menu_->popup(mapToGlobal(QPoint(0, height())));
}

QSize RibbonApplicationButton::sizeHint() const {
    if (!icon().isNull()) {
        return QSize(46, 22);
    }
    return QSize(fontMetrics().horizontalAdvance(withoutMnemonics(text())) + 24, 22);
}

void RibbonApplicationButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const RibbonColors& colors = ribbon_->colors();
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, 0.5);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    const bool lit = underMouse() || isDown() || menu_->isVisible();
    fill.setColorAt(0, lit ? colors.appTop.lighter(112) : colors.appTop);
    fill.setColorAt(1, lit ? colors.appBottom.lighter(112) : colors.appBottom);
    painter.setBrush(fill);
    painter.setPen(colors.appBottom.darker(125));
    painter.drawPath(tabOutline(r));
    painter.setPen(QColor(255, 255, 255, 70));
    painter.drawLine(QPointF(r.left() + 2, r.top() + 1.5), QPointF(r.right() - 2, r.top() + 1.5));
    if (!icon().isNull()) {
        const int side = 16;
        icon().paint(&painter, QRect((width() - side) / 2, (height() - side) / 2 + 1, side, side));
        return;
    }
    painter.setPen(colors.appText);
    painter.drawText(rect().adjusted(0, 1, 0, 0), Qt::AlignCenter, withoutMnemonics(text()));
}

} // namespace vellarion

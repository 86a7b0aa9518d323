#include "gui/ribbon/RibbonPage.h"

#include "gui/ribbon/Ribbon.h"
#include "gui/ribbon/RibbonButton.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace vellarion {

RibbonPage::RibbonPage(Ribbon* ribbon, const QString& caption)
    : QWidget(ribbon), ribbon_(ribbon), caption_(caption) {
    setAccessibleName(caption);
    layout_ = new QHBoxLayout(this);
    layout_->setContentsMargins(4, 3, 4, 3);
    layout_->setSpacing(0);
    layout_->addStretch(1);
}

RibbonGroup* RibbonPage::addGroup(const QString& caption, const QString& hint) {
    auto* group = new RibbonGroup(ribbon_, caption, hint, this);
    layout_->insertWidget(layout_->count() - 1, group);
    groups_.append(group);
    return group;
}

QList<RibbonButton*> RibbonPage::buttons() const {
    QList<RibbonButton*> all;
    for (const RibbonGroup* group : groups_) {
        all += group->buttons();
    }
    return all;
}

void RibbonPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const RibbonColors& colors = ribbon_->colors();
    const QRect r = rect();
    QLinearGradient fill(0, 0, 0, r.height());
    fill.setColorAt(0, colors.bodyTop);
    fill.setColorAt(0.2, colors.bodyTop);
    fill.setColorAt(1, colors.bodyBottom);
    painter.fillRect(r, fill);

    // The top border stops under the current tab, so that the tab and its
    // page read as one piece.
    painter.setPen(colors.bodyBorder);
    const QRect tab = ribbon_->tabRect(ribbon_->currentIndex());
    if (tab.isValid()) {
        painter.drawLine(0, 0, tab.left(), 0);
        painter.drawLine(tab.right(), 0, r.right(), 0);
    } else {
        painter.drawLine(0, 0, r.right(), 0);
    }
    painter.drawLine(0, r.bottom(), r.right(), r.bottom());
    // A light line inside the border gives the body its slight relief.
    painter.setPen(QColor(255, 255, 255, 160));
    painter.drawLine(1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
}

RibbonGroup::RibbonGroup(Ribbon* ribbon, const QString& caption, const QString& hint,
                         QWidget* parent)
    : QWidget(parent), ribbon_(ribbon), caption_(caption), hint_(hint) {
    setAccessibleName(caption);
    layout_ = new QHBoxLayout(this);
    layout_->setContentsMargins(3, 1, 5, captionHeight() + 1);
    layout_->setSpacing(1);
}

RibbonButton* RibbonGroup::addLargeButton(QAction* action, const QString& caption,
                                          const QString& keyTip) {
    auto* button = new RibbonButton(ribbon_, RibbonButton::Kind::Large, action, caption, this);
    button->setKeyTip(keyTip);
    layout_->addWidget(button, 0, Qt::AlignTop);
    buttons_.append(button);
    return button;
}

RibbonButton* RibbonGroup::addRowButton(QAction* action, const QString& caption,
                                        const QString& keyTip) {
    constexpr int kRowsPerColumn = 3;
    if (rows_ == nullptr || rows_->count() >= kRowsPerColumn) {
        rows_ = new QVBoxLayout;
        rows_->setSpacing(1);
        rows_->setAlignment(Qt::AlignTop);
        layout_->addLayout(rows_);
    }
    auto* button = new RibbonButton(ribbon_, RibbonButton::Kind::Row, action, caption, this);
    button->setKeyTip(keyTip);
    rows_->addWidget(button, 0, Qt::AlignLeft);
    buttons_.append(button);
    return button;
}

int RibbonGroup::captionHeight() const {
    return fontMetrics().height() + 3;
}

bool RibbonGroup::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ToolTip:
        if (!hint_.isEmpty()) {
            ribbon_->showScreenTip(this, caption_, hint_);
        }
        return true;
    case QEvent::Leave:
        ribbon_->hideScreenTip();
        break;
    case QEvent::FontChange:
        layout_->setContentsMargins(3, 1, 5, captionHeight() + 1);
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void RibbonGroup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const RibbonColors& colors = ribbon_->colors();
    const QRect captionRect(0, height() - captionHeight() - 1, width() - 2, captionHeight());
    painter.setPen(colors.groupCaption);
    painter.drawText(captionRect, Qt::AlignCenter, caption_);

    // The separator at the right edge fades out at both ends.
    const int x = width() - 2;
    QLinearGradient line(0, 2, 0, height() - 2);
    QColor clear = colors.groupSeparator;
    clear.setAlpha(0);
    line.setColorAt(0, clear);
    line.setColorAt(0.15, colors.groupSeparator);
    line.setColorAt(0.85, colors.groupSeparator);
    line.setColorAt(1, clear);
    painter.fillRect(QRect(x, 2, 1, height() - 4), line);
    QLinearGradient light(0, 2, 0, height() - 2);
    light.setColorAt(0, QColor(255, 255, 255, 0));
    light.setColorAt(0.5, QColor(255, 255, 255, 170));
    light.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillRect(QRect(x + 1, 2, 1, height() - 4), light);
}

} // namespace vellarion

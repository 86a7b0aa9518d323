#include "gui/ribbon/Ribbon.h"

#include "gui/ribbon/KeyTips.h"
#include "gui/ribbon/RibbonApplicationMenu.h"
#include "gui/ribbon/RibbonButton.h"
#include "gui/ribbon/RibbonPage.h"
#include "gui/ribbon/ScreenTip.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vellarion {

namespace {

constexpr int kTitleHeight = 26;
constexpr int kTabPadding = 11;
constexpr int kMinTabPadding = 4;
constexpr int kTabGap = 2;

} // namespace

// The strip above the tabs: quick-access bar at the left, caption centred.
class RibbonTitleBar : public QWidget {
public:
    explicit RibbonTitleBar(Ribbon* ribbon) : QWidget(ribbon), ribbon_(ribbon) {
        setFixedHeight(kTitleHeight);
        layout_ = new QHBoxLayout(this);
        layout_->setContentsMargins(6, 2, 6, 2);
        layout_->setSpacing(1);
        layout_->addStretch(1);
    }

    void addButton(RibbonButton* button) { layout_->insertWidget(layout_->count() - 1, button); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(ribbon_->colors().captionText);
        painter.drawText(rect(), Qt::AlignCenter, ribbon_->caption());
    }

private:
    Ribbon* ribbon_;
    QHBoxLayout* layout_;
};

// The row of tabs, led by the application button.
class RibbonTabBar : public QWidget {
public:
    explicit RibbonTabBar(Ribbon* ribbon) : QWidget(ribbon), ribbon_(ribbon) {
        setMouseTracking(true);
        setAttribute(Qt::WA_Hover);
    }

    void place(RibbonApplicationButton* button) {
        applicationButton_ = button;
        button->setParent(this);
    }

    int barHeight() const { return fontMetrics().height() + 11; }

    QRect tabRect(int index) const {
        int x = firstTabX();
        for (int i = 0; i < index; ++i) {
            x += tabWidth(i) + kTabGap;
        }
        return QRect(x, 3, tabWidth(index), height() - 3);
    }

    int tabAt(const QPoint& pos) const {
        for (int i = 0; i < ribbon_->count(); ++i) {
            if (tabRect(i).contains(pos)) {
                return i;
            }
        }
        return -1;
    }

protected:
    void resizeEvent(QResizeEvent*) override {
        update();
        if (applicationButton_ != nullptr) {
            const QSize hint = applicationButton_->sizeHint();
            applicationButton_->setGeometry(4, 3, hint.width(), height() - 3);
        }
    }

    void mousePressEvent(QMouseEvent* event) override {
        const int index = tabAt(event->position().toPoint());
        if (index >= 0 && event->button() == Qt::LeftButton) {
            ribbon_->setCurrentIndex(index);
        }
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        setHover(tabAt(event->position().toPoint()));
    }
    void leaveEvent(QEvent*) override { setHover(-1); }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const RibbonColors& colors = ribbon_->colors();
        for (int i = 0; i < ribbon_->count(); ++i) {
            const QRectF r = QRectF(tabRect(i)).adjusted(0.5, 0.5, -0.5, 0.5);
            const bool current = i == ribbon_->currentIndex();
            if (current || i == hover_) {
                if (current) {
                    QLinearGradient fill(r.topLeft(), r.bottomLeft());
                    fill.setColorAt(0, colors.bodyTop.lighter(104));
                    fill.setColorAt(1, colors.bodyTop);
                    painter.setBrush(fill);
                    painter.setPen(colors.bodyBorder);
                } else {
                    painter.setBrush(colors.tabHover);
                    QColor edge = colors.bodyBorder;
                    edge.setAlpha(110);
                    painter.setPen(edge);
                }
                painter.drawPath(tabOutline(r));
            }
            painter.setPen(current ? colors.tabTextCurrent : colors.tabText);
            painter.drawText(tabRect(i).adjusted(0, 1, 0, 0), Qt::AlignCenter,
                             ribbon_->tabCaption(i));
        }
    }

private:
    int firstTabX() const {
        const int buttonWidth =
            applicationButton_ != nullptr ? applicationButton_->sizeHint().width() : 0;
        return 4 + buttonWidth + 6;
    }

    int tabWidth(int index) const {
        return fontMetrics().horizontalAdvance(ribbon_->tabCaption(index)) + 2 * tabPadding();
    }

    // Tabs get narrower, down to a minimum, before they run off the edge.
    int tabPadding() const {
        const int count = ribbon_->count();
        if (count == 0) {
            return kTabPadding;
        }
        int text = 0;
        for (int i = 0; i < count; ++i) {
            text += fontMetrics().horizontalAdvance(ribbon_->tabCaption(i)) + kTabGap;
        }
        const int room = width() - firstTabX() - 4 - text;
        return std::clamp(room / (2 * count), kMinTabPadding, kTabPadding);
    }

    void setHover(int index) {
        if (index != hover_) {
            hover_ = index;
            update();
        }
    }

    Ribbon* ribbon_;
    RibbonApplicationButton* applicationButton_ = nullptr;
    int hover_ = -1;
};

Ribbon::Ribbon(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    titleBar_ = new RibbonTitleBar(this);
    tabBar_ = new RibbonTabBar(this);
    applicationButton_ = new RibbonApplicationButton(this, tabBar_);
    tabBar_->place(applicationButton_);
    pages_ = new QStackedWidget(this);
    screenTips_ = new ScreenTipsManager(this);
    screenTip_ = new ScreenTip(this);
    keyTips_ = new KeyTipController(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(titleBar_);
    layout->addWidget(tabBar_);
    layout->addWidget(pages_);

    updateHeights();
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

Ribbon::~Ribbon() = default;

void Ribbon::setCaption(const QString& caption) {
    caption_ = caption;
    titleBar_->update();
}

RibbonPage* Ribbon::addTab(const QString& tabCaption, const QString& keyTip,
                           const QString& pageCaption) {
    auto* page = new RibbonPage(this, pageCaption);
    tabs_.push_back(Tab{tabCaption, keyTip, page});
    pages_->addWidget(page);
    if (current_ < 0) {
        setCurrentIndex(0);
    }
    tabBar_->update();
    return page;
}

RibbonPage* Ribbon::page(int index) const {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    return tabs_[static_cast<size_t>(index)].page;
}

QString Ribbon::tabCaption(int index) const {
    return index >= 0 && index < count() ? tabs_[static_cast<size_t>(index)].caption : QString();
}

QString Ribbon::tabKeyTip(int index) const {
    return index >= 0 && index < count() ? tabs_[static_cast<size_t>(index)].keyTip : QString();
}

QRect Ribbon::tabRect(int index) const {
    return tabBar_->tabRect(index).translated(tabBar_->pos());
}

void Ribbon::setCurrentIndex(int index) {
    if (index < 0 || index >= count() || index == current_) {
        return;
    }
    current_ = index;
    pages_->setCurrentWidget(page(index));
    tabBar_->update();
    emit currentChanged(index);
}

RibbonButton* Ribbon::addQuickAccessAction(QAction* action) {
    auto* button = new RibbonButton(this, RibbonButton::Kind::Small, action, QString(), titleBar_);
    titleBar_->addButton(button);
    quickAccess_.append(button);
    return button;
}

void Ribbon::showScreenTip(QWidget* anchor, const QString& header, const QString& description) {
    if (keyTipsVisible() || (header.isEmpty() && description.isEmpty())) {
        return;
    }
    screenTip_->showTip(anchor, header, description);
}

void Ribbon::hideScreenTip() {
    screenTip_->hide();
}

void Ribbon::setScheme(RibbonScheme scheme) {
    scheme_ = scheme;
    applicationButton_->menu()->updateStyle();
    // Every part of the ribbon paints from the scheme's colours.
    update();
    for (QWidget* child : findChildren<QWidget*>()) {
        child->update();
    }
    emit schemeChanged(scheme);
}

void Ribbon::showKeyTips() {
    keyTips_->showTabLevel();
}

void Ribbon::hideKeyTips() {
    keyTips_->hide();
}

bool Ribbon::keyTipsVisible() const {
    return keyTips_->level() != KeyTipController::Level::Hidden;
}

QStringList Ribbon::visibleKeyTips() const {
    return keyTips_->visibleTips();
}

int Ribbon::pageTop() const {
    return pages_->y();
}

void Ribbon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const RibbonColors& colors = this->colors();
    const int top = pageTop();
    QLinearGradient frame(0, 0, 0, top);
    frame.setColorAt(0, colors.frameTop);
    frame.setColorAt(1, colors.frameBottom);
    painter.fillRect(QRect(0, 0, width(), top), frame);
    painter.fillRect(QRect(0, top, width(), height() - top), colors.bodyBottom);
}

void Ribbon::updateHeights() {
    // Everything derives from the font: the tab row fits its captions, a page
    // fits a large button over a group caption.
    tabBar_->setFixedHeight(tabBar_->barHeight());
    const int pageHeight = RibbonButton::largeHeight(fontMetrics()) + fontMetrics().height() + 12;
    pages_->setFixedHeight(pageHeight);
    setFixedHeight(kTitleHeight + tabBar_->height() + pageHeight);
}

void Ribbon::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        updateHeights();
    }
    QWidget::changeEvent(event);
}

} // namespace vellarion

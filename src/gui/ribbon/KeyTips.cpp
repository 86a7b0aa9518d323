#include "gui/ribbon/KeyTips.h"

#include "gui/ribbon/Ribbon.h"
#include "gui/ribbon/RibbonApplicationMenu.h"
#include "gui/ribbon/RibbonButton.h"
#include "gui/ribbon/RibbonPage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>

namespace vellarion {

namespace {

// Russian keyboards type Cyrillic letters on the keys that carry the Latin
// key tips; the tips must still work there.
QChar latinKeyOf(QChar letter) {
    static const QString cyrillic = QStringLiteral("ЙЦУКЕНГШЩЗФЫВАПРОЛДЯЧСМИТЬ");
    static const QString latin = QStringLiteral("QWERTYUIOPASDFGHJKLZXCVBNM");
    const qsizetype at = cyrillic.indexOf(letter.toUpper());
    return at >= 0 ? latin[at] : QChar();
}

bool isTipCharacter(QChar c) {
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

QFont badgeFont(const QFont& base) {
    QFont font = base;
    font.setBold(true);
    return font;
}

} // namespace

QString keyTipText(const QKeyEvent& event) {
    const int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return QString(QChar(key));
    }
#ifdef Q_OS_WIN
    // Windows names the physical key whatever the layout.
    const quint32 virtualKey = event.nativeVirtualKey();
    if (virtualKey < 0x80 && isTipCharacter(QChar(static_cast<char16_t>(virtualKey)))) {
        return QString(QChar(static_cast<char16_t>(virtualKey)));
    }
#endif
    const QString text = event.text().toUpper();
    if (text.size() == 1) {
        if (isTipCharacter(text[0])) {
            return text;
        }
        const QChar latin = latinKeyOf(text[0]);
        if (!latin.isNull()) {
            return QString(latin);
        }
    }
    return QString();
}

KeyTipBadge::KeyTipBadge(Ribbon* ribbon, const QString& text)
    : QWidget(ribbon), ribbon_(ribbon), text_(text) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFont(badgeFont(ribbon->font()));
    resize(sizeHint());
}

QSize KeyTipBadge::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    return QSize(std::max(metrics.height() + 2, metrics.horizontalAdvance(text_) + 9),
                 metrics.height() + 3);
}

void KeyTipBadge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const RibbonColors& colors = ribbon_->colors();
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, colors.keyTipTop);
    fill.setColorAt(1, colors.keyTipBottom);
    painter.setBrush(fill);
    painter.setPen(colors.keyTipBorder);
    painter.drawRoundedRect(r, 2, 2);
    painter.setPen(colors.keyTipText);
    painter.drawText(rect(), Qt::AlignCenter, text_);
}

KeyTipController::KeyTipController(Ribbon* ribbon) : QObject(ribbon), ribbon_(ribbon) {
    qApp->installEventFilter(this);
}

void KeyTipController::showTabLevel() {
    std::vector<Target> targets;
    RibbonApplicationButton* application = ribbon_->applicationButton();
    if (!application->keyTip().isEmpty()) {
        const QPoint bottom =
            application->mapTo(ribbon_, QPoint(application->width() / 2, application->height()));
        targets.push_back({application->keyTip(), application, bottom, [this, application] {
                               hide();
                               application->showMenu();
                           }});
    }
    int number = 1;
    for (RibbonButton* button : ribbon_->quickAccessButtons()) {
        // Quick-access buttons are numbered unless they carry their own tip.
        const QString tip = button->keyTip().isEmpty() ? QString::number(number) : button->keyTip();
        ++number;
        const QPoint below =
            button->mapTo(ribbon_, QPoint(button->width() / 2, button->height() + 5));
        targets.push_back({tip, button, below, [this, button] {
                               hide();
                               button->click();
                           }});
    }
    for (int i = 0; i < ribbon_->count(); ++i) {
        const QRect tab = ribbon_->tabRect(i);
        targets.push_back({ribbon_->tabKeyTip(i), ribbon_->page(i),
                           QPoint(tab.center().x(), tab.bottom()), [this, i] {
                               ribbon_->setCurrentIndex(i);
                               showPageLevel();
                           }});
    }
    level_ = Level::Tabs;
    showTargets(std::move(targets));
}

void KeyTipController::showPageLevel() {
    RibbonPage* page = ribbon_->currentPage();
    if (page == nullptr) {
        hide();
        return;
    }
    // A page that was never shown has not been laid out yet.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    std::vector<Target> targets;
    for (RibbonButton* button : page->buttons()) {
        if (button->keyTip().isEmpty() || button->isHidden()) {
            continue;
        }
        const QPoint bottom =
            button->mapTo(ribbon_, QPoint(button->width() / 2, button->height() + 4));
        targets.push_back({button->keyTip(), button, bottom, [this, button] {
                               hide();
                               if (button->isEnabled()) {
                                   button->click();
                               }
                           }});
    }
    level_ = Level::Page;
    showTargets(std::move(targets));
}

void KeyTipController::hide() {
    level_ = Level::Hidden;
    targets_.clear();
    clearBadges();
}

QStringList KeyTipController::visibleTips() const {
    QStringList tips;
    for (const QPointer<KeyTipBadge>& badge : badges_) {
        if (badge != nullptr && badge->isVisible()) {
            tips << badge->text();
        }
    }
    return tips;
}

void KeyTipController::showTargets(std::vector<Target> targets) {
    clearBadges();
    ribbon_->hideScreenTip();
    targets_ = std::move(targets);
    for (const Target& target : targets_) {
        if (target.tip.isEmpty()) {
            continue;
        }
        auto* badge = new KeyTipBadge(ribbon_, target.tip);
        const QSize size = badge->size();
        const int x = std::clamp(target.anchor.x() - size.width() / 2, 0,
                                 std::max(0, ribbon_->width() - size.width()));
        const int y = std::clamp(target.anchor.y() - size.height() / 2, 0,
                                 std::max(0, ribbon_->height() - size.height()));
        badge->move(x, y);
        badge->show();
        badge->raise();
        badges_.emplace_back(badge);
    }
}

void KeyTipController::clearBadges() {
    for (const QPointer<KeyTipBadge>& badge : badges_) {
        delete badge.data();
    }
    badges_.clear();
}

bool KeyTipController::concernsRibbon(QObject* watched) const {
    if (!watched->isWidgetType()) {
        return false;
    }
    const auto* widget = static_cast<QWidget*>(watched);
    return ribbon_->isVisible() && widget->window() == ribbon_->window();
}

bool KeyTipController::handleKey(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (level_ == Level::Page) {
            showTabLevel();
        } else {
            hide();
        }
        return true;
    }
    const QString typed = keyTipText(*event);
    if (typed.isEmpty()) {
        return true;
    }
    for (const Target& target : targets_) {
        if (target.widget != nullptr && target.tip.compare(typed, Qt::CaseInsensitive) == 0) {
            // Running the target may change the targets; keep it alive.
            const std::function<void()> activate = target.activate;
            activate();
            return true;
        }
    }
    return true;
}

bool KeyTipController::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        if (!concernsRibbon(watched)) {
            return false;
        }
        // A shortcut such as Alt+I never reaches us as a key press: its
        // override is the only sign that Alt was not tapped alone.
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Alt) {
            altArmed_ = false;
        }
        // While tips show, letters are tips, not shortcuts.
        if (level_ != Level::Hidden) {
            event->accept();
            return true;
        }
        return false;
    }
    case QEvent::KeyPress: {
        if (!concernsRibbon(watched)) {
            return false;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Alt) {
            if (!key->isAutoRepeat()) {
                altArmed_ = (key->modifiers() & ~(Qt::AltModifier | Qt::KeypadModifier)) == 0;
            }
            return level_ != Level::Hidden;
        }
        altArmed_ = false;
        if (level_ == Level::Hidden) {
            if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::NoModifier) {
                showTabLevel();
                return true;
            }
            return false;
        }
        return handleKey(key);
    }
    case QEvent::KeyRelease: {
        if (!concernsRibbon(watched)) {
            return false;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Alt && altArmed_ && !key->isAutoRepeat()) {
            altArmed_ = false;
            if (level_ == Level::Hidden) {
                showTabLevel();
            } else {
                hide();
            }
            return true;
        }
        return level_ != Level::Hidden;
    }
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
        altArmed_ = false;
        if (level_ != Level::Hidden) {
            hide();
        }
        return false;
    case QEvent::WindowDeactivate:
        if (watched == ribbon_->window()) {
            altArmed_ = false;
            hide();
        }
        return false;
    default:
        return false;
    }
}

} // namespace vellarion

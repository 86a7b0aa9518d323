#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

class QKeyEvent;

namespace vellarion {

class Ribbon;

// One key tip badge drawn over the ribbon.
class KeyTipBadge : public QWidget {
    Q_OBJECT
public:
    KeyTipBadge(Ribbon* ribbon, const QString& text);
    const QString& text() const { return text_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Ribbon* ribbon_;
    QString text_;
};

// Keyboard access to the ribbon as in Office: a tap of Alt (or F10) shows the
// key tips of the tabs, the quick-access bar and the application button;
// typing a tab's tip opens its page and shows the tips of its buttons; typing
// a button's tip runs it. Escape goes back one level; a click, another
// window or a second tap of Alt hides the tips. When two buttons share a tip,
// the first one runs.
class KeyTipController : public QObject {
    Q_OBJECT
public:
    enum class Level { Hidden, Tabs, Page };

    explicit KeyTipController(Ribbon* ribbon);

    Level level() const { return level_; }
    void showTabLevel();
    void showPageLevel();
    void hide();
    QStringList visibleTips() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Target {
        QString tip;
        QPointer<QWidget> widget;
        QPoint anchor; // ribbon coordinates of the badge's centre
        std::function<void()> activate;
    };

    bool concernsRibbon(QObject* watched) const;
    bool handleKey(QKeyEvent* event);
    void showTargets(std::vector<Target> targets);
    void clearBadges();

    Ribbon* ribbon_;
    Level level_ = Level::Hidden;
    bool altArmed_ = false;
    std::vector<Target> targets_;
    std::vector<QPointer<KeyTipBadge>> badges_;
};

// The key-tip letter a key event stands for, independent of the keyboard
// layout where the platform tells us the key; empty for other keys.
QString keyTipText(const QKeyEvent& event);

} // namespace vellarion

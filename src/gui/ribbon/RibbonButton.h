#pragma once

#include <QAbstractButton>
#include <QPointer>
#include <QStringList>

class QAction;
class QMenu;

namespace vellarion {

class Ribbon;

// A ribbon button bound to an action: large (icon over caption, on pages),
// a row (small icon beside its caption, three to a column on pages) or small
// (icon only, on the quick-access bar). Clicking it triggers the
// action; it follows the action's enabled state.
class RibbonButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Kind { Large, Small, Row };

    RibbonButton(Ribbon* ribbon, Kind kind, QAction* action, const QString& caption,
                 QWidget* parent);

    Kind kind() const { return kind_; }
    QAction* action() const { return action_; }
    const QString& keyTip() const { return keyTip_; }
    void setKeyTip(const QString& keyTip) { keyTip_ = keyTip; }
    // The caption as drawn: without "&" marks, split over one or two lines.
    QStringList captionLines() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // The height of every large button for the given font.
    static int largeHeight(const QFontMetrics& metrics);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void syncWithAction();

    Ribbon* ribbon_;
    Kind kind_;
    QPointer<QAction> action_;
    QString keyTip_;
};

// The coloured button at the left of the tab row that opens the application
// menu. It shows its icon when it has one, otherwise its caption.
class RibbonApplicationButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit RibbonApplicationButton(Ribbon* ribbon, QWidget* parent);

    const QString& keyTip() const { return keyTip_; }
    void setKeyTip(const QString& keyTip) { keyTip_ = keyTip; }

    // The application menu.
    class RibbonApplicationMenu* menu() const {
        return menu_;
    }
    void showMenu();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Ribbon* ribbon_;
    QString keyTip_;
    class RibbonApplicationMenu* menu_;
};

} // namespace vellarion

#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QAction;
class QHBoxLayout;
class QVBoxLayout;

namespace vellarion {

class Ribbon;
class RibbonButton;
class RibbonGroup;

// The page under one tab: its groups side by side.
class RibbonPage : public QWidget {
    Q_OBJECT
public:
    RibbonPage(Ribbon* ribbon, const QString& caption);

    const QString& caption() const { return caption_; }
    RibbonGroup* addGroup(const QString& caption, const QString& hint = QString());
    const QList<RibbonGroup*>& groups() const { return groups_; }
    // Every button of the page, group by group, in order.
    QList<RibbonButton*> buttons() const;

    Ribbon* ribbon() const { return ribbon_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Ribbon* ribbon_;
    QString caption_;
    QList<RibbonGroup*> groups_;
    QHBoxLayout* layout_;
};

// A captioned group of buttons on a page.
class RibbonGroup : public QWidget {
    Q_OBJECT
public:
    RibbonGroup(Ribbon* ribbon, const QString& caption, const QString& hint, QWidget* parent);

    const QString& caption() const { return caption_; }
    const QString& hint() const { return hint_; }

    // A large button (32 x 32 icon over its caption) that triggers `action`.
    // The caption may differ from the action's own text; "&" marks are not
    // drawn (key tips take the place of underlined letters).
    RibbonButton* addLargeButton(QAction* action, const QString& caption, const QString& keyTip);
    // A row button (16 x 16 icon beside its caption); rows stack three to a
    // column, columns go on to the right.
    RibbonButton* addRowButton(QAction* action, const QString& caption, const QString& keyTip);
    const QList<RibbonButton*>& buttons() const { return buttons_; }

    // The height of the caption band at the bottom.
    int captionHeight() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Ribbon* ribbon_;
    QString caption_;
    QString hint_;
    QList<RibbonButton*> buttons_;
    QHBoxLayout* layout_;
    QVBoxLayout* rows_ = nullptr; // the column row buttons go into
};

} // namespace vellarion

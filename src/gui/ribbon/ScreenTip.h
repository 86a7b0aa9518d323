#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class QAction;

namespace vellarion {

class Ribbon;

// The screen tips of the ribbon's actions: a bold header over a description.
class ScreenTipsManager : public QObject {
    Q_OBJECT
public:
    struct Tip {
        QString header;
        QString description;
    };

    explicit ScreenTipsManager(QObject* parent) : QObject(parent) {}

    void setScreenTip(const QAction* action, const QString& header, const QString& description);
    // The tip of the action; empty when it has none.
    Tip screenTip(const QAction* action) const { return tips_.value(action); }
    bool hasScreenTip(const QAction* action) const { return tips_.contains(action); }

private:
    QHash<const QAction*, Tip> tips_;
};

// The window that shows one screen tip, below the ribbon.
class ScreenTip : public QWidget {
    Q_OBJECT
public:
    explicit ScreenTip(Ribbon* ribbon);

    void showTip(QWidget* anchor, const QString& header, const QString& description);
    const QString& header() const { return header_; }
    const QString& description() const { return description_; }
    QWidget* anchor() const { return anchor_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect headerRect() const;
    QRect descriptionRect() const;
    QFont headerFont() const;

    Ribbon* ribbon_;
    QString header_;
    QString description_;
    QPointer<QWidget> anchor_;
};

} // namespace vellarion

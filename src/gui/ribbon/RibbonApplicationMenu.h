#pragma once

#include <QHash>
#include <QMenu>

namespace vellarion {

class Ribbon;

// The menu behind the application button. Each entry has a key tip: typing it
// while the menu is open opens or triggers the entry.
class RibbonApplicationMenu : public QMenu {
    Q_OBJECT
public:
    RibbonApplicationMenu(Ribbon* ribbon, QWidget* parent);

    // An entry that holds further actions in its own submenu.
    QMenu* addEntry(const QString& caption, const QString& keyTip);
    // An entry that triggers `action`.
    void addEntry(QAction* action, const QString& keyTip);

    QString keyTipOf(const QAction* entry) const { return keyTips_.value(entry); }

    // Follows the ribbon's colour scheme.
    void updateStyle();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Ribbon* ribbon_;
    QHash<const QAction*, QString> keyTips_;
};

} // namespace vellarion

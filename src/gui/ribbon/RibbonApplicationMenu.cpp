#include "gui/ribbon/RibbonApplicationMenu.h"

#include "gui/ribbon/KeyTips.h"
#include "gui/ribbon/Ribbon.h"

#include <QKeyEvent>

namespace vellarion {

RibbonApplicationMenu::RibbonApplicationMenu(Ribbon* ribbon, QWidget* parent)
    : QMenu(parent), ribbon_(ribbon) {
    updateStyle();
}

QMenu* RibbonApplicationMenu::addEntry(const QString& caption, const QString& keyTip) {
    QMenu* submenu = addMenu(caption);
    submenu->setStyleSheet(styleSheet());
    keyTips_.insert(submenu->menuAction(), keyTip);
    return submenu;
}

void RibbonApplicationMenu::addEntry(QAction* action, const QString& keyTip) {
    addAction(action);
    keyTips_.insert(action, keyTip);
}

void RibbonApplicationMenu::updateStyle() {
    const RibbonColors& colors = ribbon_->colors();
    const QString style =
        QStringLiteral("QMenu { background: %1; border: 1px solid %2; padding: 3px; }"
                       "QMenu::item { padding: 5px 22px 5px 28px; color: %3; }"
                       "QMenu::item:selected { background: qlineargradient(x1:0, y1:0, x2:0, "
                       "y2:1, stop:0 #fffbe6, stop:0.45 #ffe9a8, stop:1 #fff3c8);"
                       " border: 1px solid #ddc37b; border-radius: 2px; }"
                       "QMenu::icon { padding-left: 6px; }")
            .arg(colors.bodyTop.name(), colors.bodyBorder.name(), colors.buttonText.name());
    setStyleSheet(style);
    for (QAction* entry : actions()) {
        if (entry->menu() != nullptr) {
            entry->menu()->setStyleSheet(style);
        }
    }
}

void RibbonApplicationMenu::keyPressEvent(QKeyEvent* event) {
    const QString typed = keyTipText(*event);
    if (!typed.isEmpty()) {
        for (QAction* entry : actions()) {
            if (keyTips_.value(entry).compare(typed, Qt::CaseInsensitive) != 0 ||
                !entry->isEnabled()) {
                continue;
            }
            if (entry->menu() != nullptr) {
                // Open the entry's submenu as the arrow key would.
                setActiveAction(entry);
                QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
                QMenu::keyPressEvent(&right);
            } else {
                close();
                entry->trigger();
            }
            return;
        }
    }
    QMenu::keyPressEvent(event);
}

} // namespace vellarion

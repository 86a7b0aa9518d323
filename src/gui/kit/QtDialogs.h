#pragma once

#include "gui/kit/Dialogs.h"

namespace vellarion {

// The real dialogs: QMessageBox and the platform's folder browser.
class QtDialogs : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                   const QString& title = QString()) override;
    QString chooseFolder(QWidget* parent, const QString& caption,
                         const QString& startFolder) override;
    std::optional<QString> askPassword(QWidget* parent, const QString& text) override;
};

} // namespace vellarion

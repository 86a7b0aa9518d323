#include "gui/kit/ErrorBox.h"

#include "core/Config.h"
#include "gui/kit/Dialogs.h"
#include "gui/kit/Texts.h"

#include <exception>

namespace vellarion {

QString errorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) {
        return message + QLatin1Char('.');
    }
    return message;
}

void showStandardError(Dialogs& dialogs, QWidget* parent, const QString& message) {
    dialogs.message(parent, errorBoxText(message), Dialogs::Icon::Error, Dialogs::Buttons::Ok,
                    QString::fromLatin1(config::kApplicationTitle));
}

void runGuarded(Dialogs& dialogs, QWidget* parent, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        showStandardError(dialogs, parent, shownText(error.what()));
    }
}

} // namespace vellarion

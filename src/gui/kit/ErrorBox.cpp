#include "gui/kit/ErrorBox.h"

#include "core/Config.h"
#include "gui/kit/Dialogs.h"

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

} // namespace vellarion

#include "gui/shell/Application.h"

#include "core/Config.h"
#include "gui/kit/ErrorBox.h"
#include "gui/kit/Icons.h"

#include <exception>

namespace vellarion {

Application::Application(int& argc, char** argv, Dialogs& errorDialogs)
    : QApplication(argc, argv), errorDialogs_(errorDialogs) {
    setApplicationName(QString::fromLatin1(config::kApplicationTitle));
    setApplicationVersion(QString::fromLatin1(config::kVersion));
    setWindowIcon(programIcon(IconId::Emblem));
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showStandardError(errorDialogs_, activeWindow(), QString::fromUtf8(error.what()));
    }
    return false;
}

} // namespace vellarion

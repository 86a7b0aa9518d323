#include "gui/shell/Startup.h"

#include "core/text/Catalogue.h"
#include "gui/kit/ShellContext.h"
#include "gui/shell/IniFile.h"
#include "gui/shell/Intro.h"
#include "gui/shell/Start.h"
#include "gui/shell/pBar.h"

#include <QApplication>

namespace vellarion {

void setWindowsLanguage(const QString& settingsPath) {
    const QString chosen =
        IniFile(settingsPath).readString(QStringLiteral("Preferences"), QStringLiteral("Language"));
    setLanguage(parseLanguage(chosen.toStdString()).value_or(languageOfEnvironment()));
}

int runProgram(Dialogs& dialogs, SystemServices& services, const QString& settingsPath) {
    setWindowsLanguage(settingsPath);
    Tf_pBar progress;
    ShellContext context{dialogs, progress, services, settingsPath};
    TForm1 form(context);
    Form1 = &form;
    form.show();
    form.activateWindow();
    FStart = form.openDocument<TFStart>(context);
    f_pBar = &progress;
    return QApplication::exec();
}

} // namespace vellarion

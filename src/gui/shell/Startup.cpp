#include "gui/shell/Startup.h"

#include "gui/kit/ShellContext.h"
#include "gui/shell/Intro.h"
#include "gui/shell/Start.h"
#include "gui/shell/pBar.h"

#include <QApplication>

namespace vellarion {

int runProgram(Dialogs& dialogs, SystemServices& services, const QString& settingsPath) {
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

#include "app/Startup.h"

#include "app/Intro.h"
#include "app/ShellContext.h"
#include "app/Start.h"
#include "app/pBar.h"

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

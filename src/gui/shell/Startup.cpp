#include "gui/shell/Startup.h"

#include "core/browsers/DataSet.h"
#include "core/text/Catalogue.h"
#include "core/wizards/Job.h"
#include "gui/kit/Dialogs.h"
#include "gui/kit/ShellContext.h"
#include "gui/kit/Texts.h"
#include "gui/shell/IniFile.h"
#include "gui/shell/Intro.h"
#include "gui/shell/Start.h"
#include "gui/shell/pBar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTextStream>
#include <QTimer>
#include <QWindow>

namespace vellarion {

namespace {

void closeOnceShown(TForm1& form) {
    auto* poll = new QTimer(&form);
    QElapsedTimer waited;
    waited.start();
    QObject::connect(poll, &QTimer::timeout, &form, [&form, poll, waited] {
        const QWindow* window = form.windowHandle();
        if (window != nullptr && window->isExposed() && FStart && FStart->isVisible()) {
            poll->stop();
            QTextStream(stdout) << "vellarion: the main window came up (" << form.width() << 'x'
                                << form.height() << ")\n";
            form.close();
        } else if (waited.elapsed() > 30000) {
            poll->stop();
            QTextStream(stderr) << "vellarion: the main window did not come up\n";
            QCoreApplication::exit(1);
        }
    });
    poll->start(50);
}

} // namespace

void setWindowsLanguage(const QString& settingsPath) {
    const QString chosen =
        IniFile(settingsPath).readString(QStringLiteral("Preferences"), QStringLiteral("Language"));
    setLanguage(parseLanguage(chosen.toStdString()).value_or(languageOfEnvironment()));
}

int runProgram(Dialogs& dialogs, SystemServices& services, const QString& settingsPath,
               bool closeWhenShown) {
    setWindowsLanguage(settingsPath);
    Tf_pBar progress;
    ShellContext context{dialogs, progress, services, settingsPath};
    TForm1 form(context);
    Form1 = &form;
    form.show();
    form.activateWindow();
    FStart = form.openDocument<TFStart>(context);
    f_pBar = &progress;
    // What a crash left in a browser's data is mended before anything reads it.
    QStringList mended;
    for (const BrowserDataSet* data : allDataSets()) {
        for (const std::string& sentence : recoverBrowserData(services, *data)) {
            mended << shownText(sentence);
        }
    }
    if (!mended.isEmpty()) {
        dialogs.showMessage(&form, mended.join(QLatin1Char('\n')));
    }
    if (closeWhenShown) {
        closeOnceShown(form);
    }
    return QApplication::exec();
}

} // namespace vellarion

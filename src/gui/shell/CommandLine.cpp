#include "gui/shell/CommandLine.h"

#include <QCommandLineParser>

namespace vellarion {

ProgramOptions parseProgramOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Backs up and restores the settings and data of web browsers."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption native(
        QStringLiteral("native"),
        QStringLiteral("Work on the browsers of this machine itself (the default when no Windows "
                       "prefix is named or found)."));
    const QCommandLineOption demo(
        QStringLiteral("demo"),
        QStringLiteral("Work on the demo sandbox: sample data of every browser."));
    const QCommandLineOption prefix(QStringLiteral("prefix"),
                                    QStringLiteral("Work on the Windows prefix in <dir>."),
                                    QStringLiteral("dir"));
    const QCommandLineOption windowsRoot(
        QStringLiteral("windows-root"),
        QStringLiteral("Work on the Windows disk mounted at <dir> (its drive C:)."),
        QStringLiteral("dir"));
    const QCommandLineOption user(QStringLiteral("user"),
                                  QStringLiteral("The Windows user whose data to use."),
                                  QStringLiteral("name"));
    const QCommandLineOption windowsVersion(
        QStringLiteral("windows-version"),
        QStringLiteral("The Windows major version to assume (5: 2000/XP, 6: Vista and later)."),
        QStringLiteral("n"));
    const QCommandLineOption closeWhenShown(
        QStringLiteral("close-when-shown"),
        QStringLiteral("Close the main window as soon as it has come up, and quit (checks that "
                       "the program starts)."));
    parser.addOptions({native, demo, prefix, windowsRoot, user, windowsVersion, closeWhenShown});

    ProgramOptions result;
    if (!parser.parse(arguments)) {
        result.exitText = parser.errorText() + QLatin1Char('\n');
        result.exitCode = 2;
        return result;
    }
    if (parser.isSet(help)) {
        result.exitText = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.exitText = QStringLiteral("Vellarion 2.1.2\n");
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.exitText = QStringLiteral("Unexpected argument: ") +
                          parser.positionalArguments().first() + QLatin1Char('\n');
        result.exitCode = 2;
        return result;
    }

    result.closeWhenShown = parser.isSet(closeWhenShown);
    EnvironmentOptions& env = result.environment;
    env.native = parser.isSet(native);
    env.demo = parser.isSet(demo);
    env.prefix = parser.value(prefix).toStdString();
    env.windowsRoot = parser.value(windowsRoot).toStdString();
    env.user = parser.value(user).toStdString();
    if (parser.isSet(windowsVersion)) {
        bool ok = false;
        const int n = parser.value(windowsVersion).toInt(&ok);
        if (!ok || n < 1) {
            result.exitText = QStringLiteral("--windows-version takes a whole number above 0\n");
            result.exitCode = 2;
            return result;
        }
        env.windowsVersion = n;
    }
    return result;
}

} // namespace vellarion

#include "gui/shell/IniFile.h"

#include "core/services/Error.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>

namespace vellarion {

QString settingsPathFor(const QString& executablePath, ExecutableNaming naming) {
    if (naming == ExecutableNaming::Posix) {
        return executablePath + QStringLiteral(".ini");
    }
    // The extension is what follows the last dot of the file name, if any.
    const qsizetype slash = std::max(executablePath.lastIndexOf(QLatin1Char('\\')),
                                     executablePath.lastIndexOf(QLatin1Char('/')));
    const qsizetype dot = executablePath.lastIndexOf(QLatin1Char('.'));
    if (dot > slash) {
        return executablePath.left(dot) + QStringLiteral(".ini");
    }
    return executablePath + QStringLiteral(".ini");
}

namespace {

// Whether a new file can be made in the folder: tried, since on Windows
// only the attempt tells what the folder's access rules allow this user.
bool takesNewFiles(const QString& folder) {
    QTemporaryFile probe(folder + QStringLiteral("/.vellarion-XXXXXX"));
    return probe.open(); // removed again as it goes out of scope
}

} // namespace

QString settingsPathFor(const QString& executablePath, ExecutableNaming naming,
                        const QString& userFolder) {
    const QString beside = settingsPathFor(executablePath, naming);
    if (userFolder.isEmpty()) {
        return beside;
    }
    const QFileInfo file(QDir::fromNativeSeparators(beside));
    if (takesNewFiles(file.absolutePath())) {
        return beside;
    }
    // In the system's own form, as the path beside the program is.
    return QDir::toNativeSeparators(QDir(userFolder).filePath(file.fileName()));
}

QString settingsPathFor(const QString& executablePath) {
#ifdef Q_OS_WIN
    const QString appData = qEnvironmentVariable("APPDATA");
    return settingsPathFor(
        executablePath, ExecutableNaming::Windows,
        appData.isEmpty() ? QString() : QDir(appData).filePath(QStringLiteral("Vellarion")));
#else
    return settingsPathFor(executablePath, ExecutableNaming::Posix);
#endif
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& fallback) const {
    if (!QFileInfo(path_).isFile()) {
        return fallback;
    }
    const QSettings settings(path_, QSettings::IniFormat);
    const QVariant value = settings.value(section + QLatin1Char('/') + key);
    // A value with commas reads as a list; it is not a value we know.
    if (!value.isValid() || value.typeId() != QMetaType::QString) {
        return fallback;
    }
    return value.toString();
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    // The user's own settings folder may not be there yet.
    const QString folder = QFileInfo(QDir::fromNativeSeparators(path_)).absolutePath();
    if (!QDir().mkpath(folder)) {
        throw Error("Unable to write to " + QDir::toNativeSeparators(path_).toStdString());
    }
    QSettings settings(path_, QSettings::IniFormat);
    settings.setValue(section + QLatin1Char('/') + key, value);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw Error("Unable to write to " + QDir::toNativeSeparators(path_).toStdString());
    }
}

} // namespace vellarion

#include "gui/shell/IniFile.h"

#include "core/services/Error.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

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

QString settingsPathFor(const QString& executablePath) {
#ifdef Q_OS_WIN
    return settingsPathFor(executablePath, ExecutableNaming::Windows);
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
    QSettings settings(path_, QSettings::IniFormat);
    settings.setValue(section + QLatin1Char('/') + key, value);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw Error("Unable to write to " + QDir::toNativeSeparators(path_).toStdString());
    }
}

} // namespace vellarion

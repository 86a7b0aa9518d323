#pragma once

#include <QString>
#include <utility>

namespace vellarion {

// Where the settings file lives: beside the executable, named after it. On
// Windows the extension is replaced ("Vellarion.exe" -> "Vellarion.ini"); on
// other systems executables carry no extension, so ".ini" is appended to the
// whole name ("vellarion" -> "vellarion.ini", "vellarion-2.1" -> "vellarion-2.1.ini").
enum class ExecutableNaming { Windows, Posix };
QString settingsPathFor(const QString& executablePath, ExecutableNaming naming);
QString settingsPathFor(const QString& executablePath);

// One INI file, opened for a single read or write and released right after.
class IniFile {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    // The value, or `fallback` when the file, the section or the key is
    // missing or the file cannot be read.
    QString readString(const QString& section, const QString& key,
                       const QString& fallback = QString()) const;
    // Creates the file when it does not exist. Throws vellarion::Error
    // "Unable to write to <path>" when the file cannot be written.
    void writeString(const QString& section, const QString& key, const QString& value);

private:
    QString path_;
};

} // namespace vellarion

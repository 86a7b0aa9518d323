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
// The same, unless the executable's folder cannot take a new file (a program
// installed for all users under Program Files, run by a user who may not
// write there) and `userFolder` is given: then the file of that name in
// `userFolder` (made when the settings are first written). An empty
// `userFolder` keeps the file beside the executable in any case.
QString settingsPathFor(const QString& executablePath, ExecutableNaming naming,
                        const QString& userFolder);
// The settings file of this system's program: on Windows the user's
// %APPDATA%\Vellarion where the program's folder cannot be written; on other
// systems beside the executable.
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
    // Creates the file, and the folders above it, when they do not exist. Throws vellarion::Error
    // "Unable to write to <path>" when the file cannot be written.
    void writeString(const QString& section, const QString& key, const QString& value);

private:
    QString path_;
};

} // namespace vellarion

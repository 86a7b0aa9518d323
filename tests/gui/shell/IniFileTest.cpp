#include "gui/shell/IniFile.h"

#include "ShellFixture.h"
#include "TempDir.h"
#include "core/services/Error.h"

#include "FileTree.h"

#include <QDir>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

QString qpath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

TEST(SettingsPath, SitsBesideTheExecutableNamedAfterIt) {
    const struct {
        const char* executable;
        ExecutableNaming naming;
        const char* settings;
    } cases[] = {
        {"C:\\Program Files\\Vellarion\\Vellarion.exe", ExecutableNaming::Windows,
         "C:\\Program Files\\Vellarion\\Vellarion.ini"},
        {"D:\\tools.v2\\vellarion", ExecutableNaming::Windows, "D:\\tools.v2\\vellarion.ini"},
        {"C:\\a\\b.c.exe", ExecutableNaming::Windows, "C:\\a\\b.c.ini"},
        {"/usr/bin/vellarion", ExecutableNaming::Posix, "/usr/bin/vellarion.ini"},
        {"/opt/vellarion-2.1/vellarion-2.1", ExecutableNaming::Posix,
         "/opt/vellarion-2.1/vellarion-2.1.ini"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(settingsPathFor(QString::fromLatin1(c.executable), c.naming),
                  QString::fromLatin1(c.settings))
            << c.executable;
    }
}

// A program installed for all users: its folder is not the user's to write,
// so the settings go to the user's own folder, where they can be kept.
TEST(SettingsPath, MovesToTheUsersFolderWhereTheProgramsFolderTakesNoFile) {
    TempDir dir;
    const QString user = qpath(dir / "AppData" / "Roaming" / "Vellarion");
    fs::create_directories(dir / "portable");
    // A folder nobody can make a file in, not even an administrator: a
    // file stands in its place.
    writeFile(dir / "blocked", "a file, not a folder");
    const struct {
        fs::path executable;
        QString userFolder;
        QString settings;
    } cases[] = {
        {dir / "portable" / "vellarion.exe", user, qpath(dir / "portable" / "vellarion.ini")},
        {dir / "blocked" / "vellarion.exe", user,
         qpath(dir / "AppData" / "Roaming" / "Vellarion" / "vellarion.ini")},
        // No user folder given (other systems): beside the program in any case.
        {dir / "blocked" / "vellarion.exe", QString(), qpath(dir / "blocked" / "vellarion.ini")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(settingsPathFor(qpath(c.executable), ExecutableNaming::Windows, c.userFolder),
                  c.settings)
            << c.executable;
    }
    // Asking writes nothing: no probe is left, the user's folder is not made.
    EXPECT_EQ(namesIn(dir / "portable"), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(dir / "AppData"));

    // The first setting written makes the user's folder.
    IniFile(settingsPathFor(qpath(dir / "blocked" / "vellarion.exe"), ExecutableNaming::Windows,
                            user))
        .writeString(QStringLiteral("Preferences"), QStringLiteral("Layout"),
                     QStringLiteral("Silver"));
    EXPECT_EQ(readFile(dir / "AppData" / "Roaming" / "Vellarion" / "vellarion.ini"),
              settingsText("[Preferences]\nLayout=Silver\n"));
}

#ifndef _WIN32
// The usual case: a folder of the system's, read-only to the user (an
// administrator writes anywhere, so only another user can tell).
TEST(SettingsPath, MovesToTheUsersFolderWhereTheProgramsFolderIsReadOnly) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "an administrator may write in a read-only folder";
    }
    TempDir dir;
    fs::create_directories(dir / "Program Files" / "Vellarion");
    fs::permissions(dir / "Program Files" / "Vellarion",
                    fs::perms::owner_read | fs::perms::owner_exec);
    const QString user = qpath(dir / "Vellarion");
    EXPECT_EQ(settingsPathFor(qpath(dir / "Program Files" / "Vellarion" / "vellarion.exe"),
                              ExecutableNaming::Windows, user),
              user + QStringLiteral("/vellarion.ini"));
    fs::permissions(dir / "Program Files" / "Vellarion", fs::perms::owner_all);
}
#endif

TEST(IniFile, ReadsTheFallbackWhenFileSectionOrKeyIsMissing) {
    TempDir dir;
    IniFile missing(qpath(dir / "none.ini"));
    EXPECT_EQ(missing.readString(QStringLiteral("Preferences"), QStringLiteral("Layout")),
              QString());
    EXPECT_FALSE(std::filesystem::exists(dir / "none.ini")) << "reading must not create it";

    writeFile(dir / "other.ini", "[Other]\nLayout=Silver\n[Preferences]\nColour=Obsidian\n");
    IniFile other(qpath(dir / "other.ini"));
    EXPECT_EQ(other.readString(QStringLiteral("Preferences"), QStringLiteral("Layout"),
                               QStringLiteral("none")),
              QStringLiteral("none"));
}

TEST(IniFile, ReadsFilesWrittenByOtherPrograms) {
    TempDir dir;
    writeFile(dir / "v.ini", "\xEF\xBB\xBF; kept by hand\r\n[Preferences]\r\nLayout = Silver \r\n");
    EXPECT_EQ(IniFile(qpath(dir / "v.ini"))
                  .readString(QStringLiteral("Preferences"), QStringLiteral("Layout")),
              QStringLiteral("Silver"));
}

TEST(IniFile, WritesAPlainSectionAndKeyAndKeepsOtherValues) {
    TempDir dir;
    IniFile ini(qpath(dir / "v.ini"));
    ini.writeString(QStringLiteral("Preferences"), QStringLiteral("Layout"),
                    QStringLiteral("Obsidian"));
    EXPECT_EQ(readFile(dir / "v.ini"), settingsText("[Preferences]\nLayout=Obsidian\n"));

    writeFile(dir / "w.ini", "[Window]\nTop=10\n\n[Preferences]\nLayout=Luna\n");
    IniFile(qpath(dir / "w.ini"))
        .writeString(QStringLiteral("Preferences"), QStringLiteral("Layout"),
                     QStringLiteral("Silver"));
    const std::string written = readFile(dir / "w.ini");
    EXPECT_NE(written.find("Layout=Silver"), std::string::npos) << written;
    EXPECT_NE(written.find("Top=10"), std::string::npos) << written;
    EXPECT_EQ(written.find("Luna"), std::string::npos) << written;
}

TEST(IniFile, AFileThatCannotBeWrittenIsAnErrorNamingIt) {
    TempDir dir;
    writeFile(dir / "plain-file", "not a directory");
    const QString path = qpath(dir / "plain-file" / "v.ini");
    IniFile ini(path);
    try {
        ini.writeString(QStringLiteral("Preferences"), QStringLiteral("Layout"),
                        QStringLiteral("Luna"));
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()),
                  QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(path));
    }
}

} // namespace
} // namespace vellarion::test

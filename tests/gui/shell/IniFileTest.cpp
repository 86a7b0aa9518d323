#include "gui/shell/IniFile.h"

#include "ShellFixture.h"
#include "TempDir.h"
#include "core/services/Error.h"

#include <QDir>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

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

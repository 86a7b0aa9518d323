#include "core/services/PathMapper.h"

#include "core/services/ProgramPath.h"

#include <gtest/gtest.h>

namespace vellarion {
namespace {

#ifndef _WIN32
TEST(NativePathMapper, BackslashesBecomeSlashesAndDoubledOnesFold) {
    const NativePathMapper m;
    EXPECT_EQ(m.toNative("/media/usb\\backups\\\\default.dat")->string(),
              "/media/usb/backups/default.dat");
    EXPECT_EQ(m.toNative("relative\\dir")->string(), "relative/dir");
}

TEST(NativePathMapper, DriveLettersNameNothingWithoutAMap) {
    const NativePathMapper m;
    EXPECT_FALSE(m.toNative("C:\\Users\\bob").has_value());
    EXPECT_FALSE(m.toNative("d:").has_value());
}
#endif

TEST(NativePathMapper, Utf8NamesSurviveTheRoundTrip) {
    const std::string name =
        "\xd0\x9f\xd1\x80\xd0\xbe\xd1\x84\xd0\xb8\xd0\xbb\xd1\x8c"; // "Профиль"
    EXPECT_EQ(pathToUtf8(pathFromUtf8(name)), name);
}

// Joining and cutting program paths: a Windows-form folder goes on with "\\",
// a native POSIX folder the user picked with "/"; separators never double.
TEST(ProgramPath, JoinsAndCutsEitherFormWithoutDoublingASeparator) {
    EXPECT_EQ(joinPath("C:\\Backup", "fbackup_firefox.dat"), "C:\\Backup\\fbackup_firefox.dat");
    EXPECT_EQ(joinPath("C:\\Backup\\", "a.dat"), "C:\\Backup\\a.dat");
    EXPECT_EQ(joinPath("/media/usb", "a.dat"), "/media/usb/a.dat");
    EXPECT_EQ(joinPath("/media/usb\\x", "a.dat"), "/media/usb\\x\\a.dat");
    EXPECT_EQ(joinPath("", "a.dat"), "a.dat");
    EXPECT_EQ(joinPath("C:\\p", ""), "C:\\p");
    EXPECT_EQ(withSeparator(""), "");

    EXPECT_EQ(parentPath("C:\\p\\Recovery\\"), "C:\\p");
    EXPECT_EQ(parentPath("places.sqlite"), "");
    EXPECT_EQ(lastName("C:\\p\\places.sqlite"), "places.sqlite");
    EXPECT_EQ(lastName("/m/usb/Recovery//"), "Recovery");

    EXPECT_EQ(relativeTo("/root/x\\Profiles\\a.js", "/root/x"), "Profiles\\a.js");
    EXPECT_EQ(relativeTo("C:\\Firefox\\a.js", "C:\\Firefox\\"), "a.js");
    EXPECT_EQ(relativeTo("C:\\Firefox2\\a.js", "C:\\Firefox"), "");
    EXPECT_EQ(relativeTo("C:\\Firefox", "C:\\Firefox"), "");
}

} // namespace
} // namespace vellarion

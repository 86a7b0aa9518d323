#include "core/services/PathMapper.h"

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

} // namespace
} // namespace vellarion

// What the command line says of archives and profiles that are not what
// they should be: a damaged archive, items with nothing to save, a running
// browser.
#include "CliRunner.h"
#include "HeldLock.h"
#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

TEST(CliCurrentData, VerifyReadsEveryRecordAndFailsOnDamage) {
    TempDir tmp;
    writeFile(tmp / "src/prefs.js", "user_pref(\"a\", 1);\n");
    writeFile(tmp / "src/places.sqlite", incompressible(20000));
    ASSERT_EQ(run({"pack", s(tmp / "src"), s(tmp / "a.dat")}).exitCode, 0);

    const Result sound = run({"verify", s(tmp / "a.dat")});
    EXPECT_EQ(sound.exitCode, 0) << sound.err;
    EXPECT_EQ(sound.out, s(tmp / "a.dat") + ": 2 records, all sound\n");

    std::string bytes = readFile(tmp / "a.dat");
    const std::string original = bytes;
    bytes[bytes.size() - 3] ^= 0x01;
    writeFile(tmp / "a.dat", bytes);
    const Result flipped = run({"verify", s(tmp / "a.dat")});
    EXPECT_EQ(flipped.exitCode, 1);
    EXPECT_TRUE(flipped.out.starts_with("damaged: ")) << flipped.out;
    EXPECT_NE(flipped.out.find(": zlib returned: data error\n"), std::string::npos) << flipped.out;
    EXPECT_EQ(flipped.err, "vellarion-cli: " + s(tmp / "a.dat") + ": 1 of 2 records damaged\n");

    writeFile(tmp / "a.dat", original.substr(0, original.size() - 100));
    const Result cut = run({"verify", s(tmp / "a.dat")});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_EQ(cut.err, "vellarion-cli: " + s(tmp / "a.dat") +
                           " breaks off after 1 record (Stream read error)\n");
    // Verify writes nothing.
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path()), fs::directory_iterator()), 2);
}

TEST(CliCurrentData, ItemsWithNothingAreNamedAndARunningBrowserIsBackedUp) {
    TempDir tmp;
    const fs::path profile = tmp / "profile";
    writeFile(profile / "prefs.js", "user_pref(\"a\", 1);\n");
    const std::vector<std::string> backup = {
        "backup",           "firefox",  "--to",    s(tmp.path()),
        "--custom-profile", s(profile), "--items", "settings,sessions,passwords"};
    const Result partly = run(backup);
    EXPECT_EQ(partly.exitCode, 0) << partly.err;
    // What is simply not there is named on one line, and is no warning.
    EXPECT_EQ(partly.err,
              "vellarion-cli: Not in this profile: sessions, passwords\n"
              "vellarion-cli: warning: the archive holds passwords and cookies readable by anyone "
              "who gets the file (--encrypt protects them)\n");

    HeldLock running(profile / ".parentlock");
    std::vector<std::string> again = backup;
    again.push_back("--replace");
    // Firefox runs: the backup runs too, and says once how it copies.
    const Result held = run(again);
    EXPECT_EQ(held.exitCode, 0) << held.err;
    EXPECT_EQ(held.err.substr(0, held.err.find('\n') + 1),
              "vellarion-cli: warning: Firefox is running: its databases are copied as "
              "consistent snapshots.\n");
    EXPECT_EQ(held.err.substr(held.err.find('\n') + 1), partly.err);
}

} // namespace
} // namespace vellarion::test

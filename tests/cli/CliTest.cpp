// vellarion-cli's archive commands, run as a user runs them.
#include "CliRunner.h"
#include "TempDir.h"
#include "core/services/Error.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

class CliArchive : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(tmp / "src/prefs.js", "user_pref(\"a\", 1);\n");
        writeFile(tmp / "src/sub/cookies.sqlite", std::string(5000, 'c'));
        writeFile(tmp / "src/zero", "");
    }
    TempDir tmp;
};

TEST_F(CliArchive, PackListAndUnpackRoundTrip) {
    const Result packed = run({"pack", s(tmp / "src"), s(tmp / "a.dat")});
    EXPECT_EQ(packed.exitCode, 0);
    EXPECT_EQ(packed.out, "");
    EXPECT_EQ(packed.err, "");

    const Result listed = run({"list", s(tmp / "a.dat")});
    EXPECT_EQ(listed.exitCode, 0);
    const bool subFirst = listed.out.starts_with("sub");
    EXPECT_EQ(listed.out,
              subFirst ? "sub\\cookies.sqlite\nprefs.js\n" : "prefs.js\nsub\\cookies.sqlite\n");

    const Result sized = run({"list", "-l", s(tmp / "a.dat")});
    EXPECT_EQ(sized.exitCode, 0);
    const std::string prefsLine = "          19           27  prefs.js\n";
    EXPECT_NE(sized.out.find(prefsLine), std::string::npos) << sized.out;
    EXPECT_NE(sized.out.find("        5000 "), std::string::npos) << sized.out;

    const Result unpacked = run({"unpack", s(tmp / "a.dat"), s(tmp / "out")});
    EXPECT_EQ(unpacked.exitCode, 0);
    EXPECT_EQ(unpacked.out + unpacked.err, "");
    EXPECT_EQ(readFile(tmp / "out/prefs.js"), "user_pref(\"a\", 1);\n");
    EXPECT_EQ(readFile(tmp / "out/sub/cookies.sqlite"), std::string(5000, 'c'));
    EXPECT_FALSE(fs::exists(tmp / "out/zero"));
}

TEST_F(CliArchive, FailuresExitOneWithTheReasonOnStderr) {
    const Result missing = run({"unpack", s(tmp / "none.dat"), s(tmp / "out")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "vellarion-cli: Cannot open file \"" + s(tmp / "none.dat") + "\". " +
                               systemErrorText(ENOENT) + "\n");
    EXPECT_EQ(missing.out, "");

    const Result noFolder = run({"pack", s(tmp / "nowhere"), s(tmp / "a.dat")});
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_EQ(noFolder.err, "vellarion-cli: \"" + s(tmp / "nowhere") + "\" is not a folder\n");
    EXPECT_FALSE(fs::exists(tmp / "a.dat"));

    writeFile(tmp / "cut.dat", std::string("\x00\x01"
                                           "a\x03\x00",
                                           5));
    const Result damaged = run({"list", s(tmp / "cut.dat")});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_EQ(damaged.err, "vellarion-cli: \"" + s(tmp / "cut.dat") +
                               "\" is no backup archive (or one cut off within its first record)\n");
}

TEST_F(CliArchive, UnreadableFilesAreWarnedAboutAndLeftOut) {
    fs::create_symlink(tmp / "gone", tmp / "src/dangling");
    const Result packed = run({"pack", s(tmp / "src"), s(tmp / "a.dat")});
    EXPECT_EQ(packed.exitCode, 0);
    EXPECT_EQ(packed.err, "vellarion-cli: warning: Symbolic link \"" + s(tmp / "src") +
                              "/dangling\" skipped\n");
}

// The control characters left raw in a text: C0 but line breaks, DEL, C1.
std::string rawControls(const std::string& text) {
    std::string found;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if ((c < 0x20 && c != '\n') || c == 0x7F || c1) {
            found += "@" + std::to_string(i) + " ";
        }
    }
    return found;
}

// A stored name is the archive's: it may hold a terminal's commands (set
// the title, go back to the line's start, clear the screen). The user reads
// them escaped in the listing, the progress line and the error.
TEST_F(CliArchive, ControlCharactersOfStoredNamesReachTheTerminalEscaped) {
    const std::string name = "a\x1b]0;owned\x07\rfake\x7f\xc2\x9b"
                             "2J.txt";
    const std::string shown = "a\\x1b]0;owned\\x07\\rfake\\x7f\\u009b2J.txt";
    writeFile(tmp / "evil" / name, "data");
    ASSERT_EQ(run({"pack", s(tmp / "evil"), s(tmp / "a.dat")}).exitCode, 0);

    const Result listed = run({"list", s(tmp / "a.dat")});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.out, shown + "\n");
    const Result sized = run({"list", "-l", s(tmp / "a.dat")});
    EXPECT_EQ(rawControls(sized.out), "") << sized.out;

    const Result progress = Cli({"unpack", s(tmp / "a.dat"), s(tmp / "out")}, true).wait();
    EXPECT_EQ(progress.exitCode, 0);
    EXPECT_NE(progress.err.find(shown), std::string::npos) << progress.err;
    EXPECT_EQ(progress.err.find("]0;owned\x07"), std::string::npos);
    EXPECT_EQ(readFile(tmp / "out" / name), "data");

    // A folder of that name stands where the file would go.
    fs::create_directories(tmp / "blocked" / name);
    const Result failed = run({"unpack", s(tmp / "a.dat"), s(tmp / "blocked")});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.err.starts_with("vellarion-cli: Refusing to unpack")) << failed.err;
    EXPECT_NE(failed.err.find(shown), std::string::npos) << failed.err;
    EXPECT_EQ(rawControls(failed.err), "") << failed.err;
}

TEST(Cli, UsageErrorsExitTwoAndEveryCommandHasHelp) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"pack", "only-one"}, {"list", "-x", "a.dat"}, {"unpack"}}) {
        const Result r = run(args);
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_TRUE(r.err.starts_with("vellarion-cli: ")) << r.err;
        EXPECT_NE(r.err.find("--help"), std::string::npos);
    }
    for (const char* command : {"pack", "unpack", "list"}) {
        const Result help = run({command, "--help"});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_NE(help.out.find(std::string("Usage: vellarion-cli ") + command), std::string::npos)
            << help.out;
        EXPECT_NE(help.out.find("ARCHIVE"), std::string::npos);
    }
    const Result top = run({"--help"});
    EXPECT_EQ(top.exitCode, 0);
    for (const char* command : {"pack", "unpack", "list"}) {
        EXPECT_NE(top.out.find(command), std::string::npos) << top.out;
    }
}

TEST_F(CliArchive, ProgressIsDrawnOnlyOnATerminal) {
    const Result onTerminal = Cli({"pack", s(tmp / "src"), s(tmp / "a.dat")}, true).wait();
    EXPECT_EQ(onTerminal.exitCode, 0);
    // The first file is drawn at once (later ones at most ten times a
    // second), and the line is cleared at the end.
    EXPECT_TRUE(onTerminal.err.find("prefs.js") != std::string::npos ||
                onTerminal.err.find("sub/cookies.sqlite") != std::string::npos)
        << onTerminal.err;
    EXPECT_TRUE(onTerminal.err.ends_with("\r\033[K")) << onTerminal.err;

    const Result onFile = run({"unpack", s(tmp / "a.dat"), s(tmp / "out")});
    EXPECT_EQ(onFile.err, "");
}

TEST_F(CliArchive, InterruptedPackLeavesThePreviousArchiveAndNoTemporaryFile) {
    writeFile(tmp / "src/big", incompressible(32 * 1024 * 1024));
    writeFile(tmp / "out/a.dat", "previous");
    Cli cli({"pack", s(tmp / "src"), s(tmp / "out/a.dat")});
    interruptOncePacking(cli, tmp / "out");
    const Result r = cli.wait();
    EXPECT_EQ(r.exitCode, 130);
    EXPECT_EQ(r.err, "vellarion-cli: interrupted\n");
    EXPECT_EQ(readFile(tmp / "out/a.dat"), "previous");
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp / "out"), fs::directory_iterator()), 1);
}

} // namespace
} // namespace vellarion::test

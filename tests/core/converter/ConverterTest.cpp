// The Opera profile converter: the twelve conversions over the bytes of an
// "operaprefs.ini", and the file found, rewritten and left alone on disk.
#include "FileSizeLimit.h"
#include "FileTree.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"
#include "core/converter/OperaConverter.h"
#include "core/services/Error.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::namesIn;
using test::readFile;
using test::writeFile;

std::string convert(int index, std::string_view text, const ConversionInputs& in) {
    const ConversionPlan plan = conversionPlan(index, in);
    EXPECT_EQ(plan.refusal, "");
    return applyReplacements(text, plan.replacements).text;
}

// A preferences file with one path of each kind the conversions touch.
const char* const A0 = "C:\\Documents and Settings\\demo\\Application Data\\Opera\\Opera\\profile";
const char* const B0 =
    "D:\\Documents and Settings\\demo\\Local Settings\\Application Data\\Opera\\Opera\\cache";
const char* const C0 = "C:\\Users\\demo\\AppData\\Roaming\\Opera\\Opera\\profile";
const char* const D0 = "C:\\Users\\demo\\AppData\\Local\\Opera\\Opera\\mail";
const char* const E0 = "C:\\Program Files\\Opera\\locale";
const char* const F0 = "C:\\Program Files (x86)\\Opera\\locale";
// The same paths converted.
const char* const A7 = "C:\\Users\\demo\\AppData\\Roaming\\Opera\\Opera\\profile";
const char* const B7 = "D:\\Users\\demo\\AppData\\Local\\Opera\\Opera\\cache";
const char* const CX = "C:\\Documents and Settings\\demo\\Application Data\\Opera\\Opera\\profile";
const char* const DX =
    "C:\\Documents and Settings\\demo\\Local Settings\\Application Data\\Opera\\Opera\\mail";
const char* const E64 = "C:\\Program Files (x86)\\Opera\\locale";
const char* const F32 = "C:\\Program Files\\Opera\\locale";

std::string prefs(const std::vector<std::string>& paths) {
    std::string text = "Opera Preferences version 2.1\r\n[User Prefs]\r\n";
    for (size_t i = 0; i < paths.size(); ++i) {
        text += std::string(1, static_cast<char>('A' + i)) + "=" + paths[i] + "\r\n";
    }
    return text;
}

TEST(OperaConversions, EveryConversionOfTheTableAndASecondRunChangesNothing) {
    const ConversionInputs demo{.uzer = "demo", .drv = "C:", .olduser = "", .driveltr = ""};
    const std::string sample = prefs({A0, B0, C0, D0, E0, F0});
    const std::vector<std::vector<std::string>> expected = {
        {A7, B7, C0, D0, E0, F0}, {A7, B7, C0, D0, E64, F0}, {A7, B7, C0, D0, E0, F32},
        {A7, B7, C0, D0, E0, F0}, {A0, B0, C0, D0, E64, F0}, {A0, B0, C0, D0, E0, F32},
        {A0, B0, CX, DX, E0, F0}, {A0, B0, CX, DX, E0, F32}, {A0, B0, CX, DX, E64, F0},
        {A0, B0, CX, DX, E0, F0},
    };
    EXPECT_EQ(conversionCaptions()[8], "7/Vista 32 bit -> XP 64 bit");

    std::vector<std::pair<ConversionInputs, std::string>> runs;
    for (int i = 0; i < 10; ++i) {
        runs.emplace_back(demo, prefs(expected[static_cast<size_t>(i)]));
    }
    // The drive keeps its separator; the user name changes in every path.
    runs.emplace_back(ConversionInputs{"demo", "C:", "", "D:\\"},
                      prefs({A0,
                             "C:\\Documents and Settings\\demo\\Local Settings\\Application "
                             "Data\\Opera\\Opera\\cache",
                             C0, D0, E0, F0}));
    std::string renamed = sample;
    for (size_t at; (at = renamed.find("\\demo\\")) != std::string::npos;) {
        renamed.replace(at, 6, "\\ivan\\");
    }
    runs.emplace_back(ConversionInputs{"ivan", "C:", "demo", ""}, renamed);

    for (int i = 0; i < kConversionCount; ++i) {
        SCOPED_TRACE(conversionCaptions()[static_cast<size_t>(i)]);
        const auto& [inputs, want] = runs[static_cast<size_t>(i)];
        const std::string once = convert(i, sample, inputs);
        EXPECT_EQ(once, want);
        const ConversionPlan plan = conversionPlan(i, inputs);
        EXPECT_FALSE(applyReplacements(once, plan.replacements).changed());
        // A byte-order mark before the header goes, whichever conversion runs.
        EXPECT_EQ(convert(i, "\xEF\xBB\xBF" + sample, inputs), want);
    }
}

TEST(OperaConversions, BytesBeyondAsciiAreKeptAndOnlyAsciiLetterCaseFolds) {
    const ConversionInputs ivan{.uzer = "Иван", .drv = "C:", .olduser = "", .driveltr = ""};
    const std::string text = "Opera Preferences version 2.1\n"
                             "A=C:\\Documents and Settings\\Иван\\Application Data\\Opera\\x\n"
                             "B=c:\\documents and settings\\Иван\\application data\\opera\\y\n"
                             "C=C:\\Documents and Settings\\ИВАН\\Application Data\\Opera\\z\n"
                             "D=\xC8\xE2\xE0\xED \xFF\x80 Мои документы\n";
    const ConversionResult result = applyReplacements(text, conversionPlan(0, ivan).replacements);
    EXPECT_EQ(result.text, "Opera Preferences version 2.1\n"
                           "A=C:\\Users\\Иван\\AppData\\Roaming\\Opera\\x\n"
                           "B=c:\\Users\\Иван\\AppData\\Roaming\\Opera\\y\n"
                           "C=C:\\Documents and Settings\\ИВАН\\Application Data\\Opera\\z\n"
                           "D=\xC8\xE2\xE0\xED \xFF\x80 Мои документы\n");
    EXPECT_EQ(result.counts[0].changed, 2);
    EXPECT_EQ(describe(result.counts[0].replacement),
              "\"Documents and Settings\\Иван\\Application Data\\Opera\" -> "
              "\"Users\\Иван\\AppData\\Roaming\\Opera\"");
}

TEST(OperaConversions, TheUserAndDriveChangesReplaceOnlyFoldersAndDrives) {
    const std::string text = "Opera Preferences version 2.1\n"
                             "A=C:\\Users\\bob\\AppData\\x\n"
                             "B=C:\\Documents and Settings\\Bob\n"
                             "C=C:\\Users\\bobby\\x\n"
                             "D=C:\\Data\\bob\\x\n"
                             "E=C:\\MyUsers\\bob\\x\n"
                             "Nick=bob\n"
                             "Url=http://example.org/\n"
                             "Dir=p:\\Games\n";
    const std::string user =
        applyReplacements(text, conversionPlan(11, {"alice", "C:", "bob", ""}).replacements).text;
    EXPECT_EQ(user, "Opera Preferences version 2.1\n"
                    "A=C:\\Users\\alice\\AppData\\x\n"
                    "B=C:\\Documents and Settings\\alice\n"
                    "C=C:\\Users\\bobby\\x\n"
                    "D=C:\\Data\\bob\\x\n"
                    "E=C:\\MyUsers\\bob\\x\n"
                    "Nick=bob\n"
                    "Url=http://example.org/\n"
                    "Dir=p:\\Games\n");
    const std::string drive =
        applyReplacements(text, conversionPlan(10, {"bob", "C:", "", " P: "}).replacements).text;
    EXPECT_NE(drive.find("Url=http://example.org/\n"), std::string::npos);
    EXPECT_NE(drive.find("Dir=C:\\Games\n"), std::string::npos);

    const std::string_view noUser = "Введите старое имя пользователя.";
    const std::string_view noDrive = "Введите старую букву диска, например: \"D:\\\".";
    for (const char* bad : {"", "  ", "..", "a\\b"}) {
        EXPECT_EQ(conversionPlan(11, {"alice", "C:", bad, "D:\\"}).refusal, noUser) << bad;
    }
    for (const char* bad : {"", " ", "D", "DD:\\", "1:", "D:\\x"}) {
        EXPECT_EQ(conversionPlan(10, {"alice", "C:", "bob", bad}).refusal, noDrive) << bad;
    }
}

#ifndef _WIN32

std::uint64_t inodeOf(const fs::path& file) {
    struct stat info {};
    EXPECT_EQ(::stat(file.c_str(), &info), 0);
    return info.st_ino;
}

TEST(OperaConverter, FindsTheFileRewritesItWholeAndLeavesItAloneOtherwise) {
    test::SamplePrefixFixture prefix({.browsers = {Browser::Opera}});
    ConverterState state;
    OperaConverter converter(prefix.services(), state);
    ASSERT_TRUE(converter.locate());
    EXPECT_EQ(state.fileName, "operaprefs.ini");
    EXPECT_EQ(state.ffpath, prefix.sample().roaming + "\\Opera\\Opera\\profile\\operaprefs.ini");
    const fs::path file = prefix.onDriveC("users/demo/AppData/Roaming/Opera/Opera/profile");
    const fs::path prefsFile = file / "operaprefs.ini";
    const std::string original = readFile(prefsFile);

    const ConversionReport done = converter.convert(4, "Olduser", "D:\\");
    EXPECT_EQ(done.outcome, ConversionReport::Outcome::Written);
    EXPECT_EQ(done.counts.front().changed, 2);
    EXPECT_EQ(readFile(prefsFile), done.text);
    EXPECT_NE(done.text.find("Language File=C:\\Program Files (x86)\\Opera\\locale\\ru\\ru.lng"),
              std::string::npos);
    EXPECT_EQ(done.text.size(), original.size() + 2 * 6);

    // Nothing to change, a dry run, a refusal: the file is not written.
    const std::uint64_t inode = inodeOf(prefsFile);
    EXPECT_EQ(converter.convert(4, "", "").outcome, ConversionReport::Outcome::Unchanged);
    const ConversionReport dry = converter.convert(5, "", "", true);
    EXPECT_EQ(dry.outcome, ConversionReport::Outcome::DryRun);
    EXPECT_EQ(dry.counts.front().changed, 2);
    const ConversionReport refused = converter.convert(11, " ", "D:\\");
    EXPECT_EQ(refused.outcome, ConversionReport::Outcome::Refused);
    EXPECT_EQ(refused.refusal, "Введите старое имя пользователя.");
    EXPECT_EQ(inodeOf(prefsFile), inode);
    EXPECT_EQ(readFile(prefsFile), done.text);

    // A save that fails leaves the file as it was, and no stray file.
    const std::vector<std::string> before = namesIn(file);
    {
        test::FileSizeLimit full(100);
        EXPECT_THROW(converter.convert(5, "", ""), Error);
    }
    EXPECT_EQ(readFile(prefsFile), done.text);
    EXPECT_EQ(namesIn(file), before);

    EXPECT_EQ(converter.convert(5, "", "").outcome, ConversionReport::Outcome::Written);
    EXPECT_EQ(readFile(prefsFile), original);
}

TEST(OperaConverter, TellsTheSystemAndRefusesWithoutTheFile) {
    test::SamplePrefixFixture seven({.browsers = {}});
    ConverterState state;
    OperaConverter converter(seven.services(), state);
    const SystemInformation info = converter.systemInformation();
    EXPECT_EQ(info.family + ", " + info.bitness + ", " + info.user, "7/Vista, 64 bit, demo");
    EXPECT_FALSE(converter.locate());
    EXPECT_EQ(converter.convert(0, "", "").refusal, "Не найден файл параметров");

    test::SamplePrefixFixture xp({.user = "ivan", .windowsVersion = 5, .windows64 = false});
    const SystemInformation old = OperaConverter(xp.services(), state).systemInformation();
    EXPECT_EQ(old.family + ", " + old.bitness + ", " + old.user, "XP/2000, 32 bit, ivan");
}

#endif

} // namespace
} // namespace vellarion

// vellarion-cli speaks the user's language: a Russian locale gets the
// program's own texts, any other English, and --language chooses.
#include "CliRunner.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

bool hasCyrillic(const std::string& text) {
    // U+0400…U+04FF are the bytes D0 and D1 followed by a continuation byte.
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if ((lead == 0xD0 || lead == 0xD1) &&
            (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            return true;
        }
    }
    return false;
}

// The first English sentence of `text` (three English words in a row), ""
// when there is none: paths, option words and quoted names are no sentence.
std::string englishSentence(const std::string& text) {
    static const std::regex quoted("\"[^\"\n]*\"");
    static const std::regex tokens("[^\\s]*[/\\\\][^\\s]*|(^|\\s)--?[A-Za-z][^\\s]*");
    static const std::regex sentence("[A-Za-z]{2,}( [A-Za-z]{2,}){2,}");
    const std::string plain =
        std::regex_replace(std::regex_replace(text, quoted, " "), tokens, " ");
    std::smatch found;
    return std::regex_search(plain, found, sentence) ? found.str() : std::string();
}

class LanguageCli : public ::testing::Test {
protected:
    // Everything a command printed, with the command named for the failure.
    std::string everything(const std::vector<std::string>& args, const Result& r) {
        std::string line;
        for (const std::string& a : args) {
            line += a + ' ';
        }
        return line + "\n" + r.out + r.err;
    }

    std::vector<std::vector<std::string>> jobCommands() {
        const std::string prefix = s(fx.sample().prefix);
        const std::string bare = s(empty.sample().prefix);
        const std::string to = s(dir / "backups");
        return {
            // Results and warnings of jobs that run.
            {"backup", "firefox", "--prefix", prefix, "--user", "demo", "--to", to, "--replace"},
            {"restore", "firefox", "--prefix", prefix, "--user", "demo", "--from", to, "--archive",
             "default.dat"},
            {"backup", "chrome", "--prefix", prefix, "--user", "demo", "--to", to, "--replace",
             "--items", "thumbnails,top-sites"},
            {"full-backup", "opera", "--prefix", prefix, "--user", "demo", "--to", to},
            // Refusals, in the core's words and the command line's.
            {"profiles", "firefox", "--prefix", bare},
            {"full-backup", "safari", "--prefix", bare, "--to", to},
            {"full-restore", "ie", "--prefix", prefix, "--user", "demo", "--from", s(dir / "none")},
            {"backup", "firefox", "--prefix", prefix, "--user", "demo", "--to", to},
            {"convert", "opera", "--prefix", prefix, "--user", "demo"},
            {"convert", "--list"},
            // What is here, and archives read.
            {"browsers", "--prefix", prefix, "--user", "demo"},
            {"profiles", "chrome", "--prefix", prefix, "--user", "demo"},
            {"verify", s(dir / "backups" / "default.dat")},
            {"verify", "--all", to},
            {"list", s(dir / "backups" / "default.dat")},
            // Messages that say what to do.
            {"restore", "firefox", "--prefix", prefix, "--user", "demo", "--from",
             s(dir / "nowhere")},
            {"restore", "firefox", "--prefix", prefix, "--user", "demo", "--from", to,
             "--archive", "nosuch.dat"},
            {"list", s(dir / "backups" / "fbackup_opera.dat.nothing")},
            {"full-backup", "firefox", "--prefix", bare, "--to", to},
            {"restore", "firefox", "--prefix", prefix, "--user", "demo", "--from", to,
             "--items", "nosuch"},
            {"backup", "firefox", "--prefix", prefix, "--user", "demo", "--to",
             s(dir / "backups" / "default.dat" / "below")},
            {"nosuch-command"},
        };
    }

    SamplePrefixFixture fx;
    SamplePrefixFixture empty{{.browsers = {Browser::Chrome}}};
    TempDir dir;
};

TEST_F(LanguageCli, AnEnglishUserSeesNoRussianInHelpRefusalsWarningsOrResults) {
    UserLocale english("en_US.UTF-8");
    std::vector<std::vector<std::string>> commands = jobCommands();
    const Result help = run({"--help"});
    for (const char* command :
         {"backup", "restore", "full-backup", "full-restore", "profiles", "items", "convert",
          "pack", "unpack", "list", "verify", "browsers"}) {
        commands.push_back({command, "--help"});
    }
    for (const char* browser :
         {"firefox", "chrome", "opera", "safari", "ie", "flock", "edge", "zen"}) {
        commands.push_back({"items", browser});
    }
    int refusals = 0;
    for (const auto& args : commands) {
        const Result r = run(args);
        refusals += r.exitCode != 0;
        EXPECT_FALSE(hasCyrillic(r.out + r.err)) << everything(args, r);
    }
    EXPECT_GE(refusals, 4); // the refusals above did refuse
    // The core's texts arrive translated, not dropped.
    const Result items = run({"items", "firefox"});
    EXPECT_NE(items.out.find("passwords\tSaved passwords\n"), std::string::npos) << items.out;
    const Result notFound = run({"profiles", "firefox", "--prefix", s(empty.sample().prefix)});
    EXPECT_TRUE(notFound.err.starts_with(
        "vellarion-cli: Settings file not found. Choose a custom profile. No Firefox profile"))
        << notFound.err;
}

TEST_F(LanguageCli, ARussianUserReadsNoEnglishSentenceInAnyCommandsOutput) {
    writeFile(dir / "backups" / "fbackup_opera.dat.nothing", "no archive at all\n");
    for (const char* how : {"locale", "option"}) {
        SCOPED_TRACE(how);
        UserLocale user(how == std::string("locale") ? "ru_RU.UTF-8" : "en_US.UTF-8");
        int refusals = 0;
        for (std::vector<std::string> args : jobCommands()) {
            if (how == std::string("option")) {
                args.insert(args.begin(), {"--language", "ru"});
            }
            const Result r = run(args);
            refusals += r.exitCode != 0;
            EXPECT_EQ(englishSentence(r.out + r.err + r.environment), "") << everything(args, r);
            // Something was said, in Russian.
            EXPECT_TRUE(hasCyrillic(r.out + r.err + r.environment) || r.err.empty())
                << everything(args, r);
        }
        EXPECT_GE(refusals, 9);
    }
    // The test sees English sentences where there are some.
    UserLocale english("en_US.UTF-8");
    const Result r = run({"restore", "firefox", "--from", s(dir / "nowhere")});
    EXPECT_EQ(englishSentence(r.err), "Settings file not found") << r.err;
}

TEST_F(LanguageCli, ARussianUserSeesTheProgramsOwnTextsAndLanguageChooses) {
    const std::vector<std::string> items = {"items", "firefox"};
    const std::vector<std::string> notFound = {"profiles", "firefox", "--prefix",
                                               s(empty.sample().prefix)};
    {
        UserLocale russian("ru_RU.UTF-8");
        EXPECT_NE(run(items).out.find("passwords\tСохраненные пароли\n"), std::string::npos);
        EXPECT_TRUE(run(notFound).err.starts_with(
            "vellarion-cli: Файл параметров не найден. Выберите пользовательский профиль. Профиль "
            "Firefox не найден (искали в "));
        // Chosen on the command line, before the command or after it.
        EXPECT_NE(run({"--language", "en", "items", "firefox"}).out.find("\tSaved passwords\n"),
                  std::string::npos);
        EXPECT_NE(run({"items", "firefox", "--language", "en"}).out.find("\tSaved passwords\n"),
                  std::string::npos);
        EXPECT_EQ(run({"items", "firefox", "--language", "de"}).exitCode, 2);
    }
    {
        UserLocale english("C.UTF-8");
        EXPECT_NE(run(items).out.find("\tSaved passwords\n"), std::string::npos);
        EXPECT_NE(run({"items", "firefox", "--language", "ru"}).out.find("\tСохраненные пароли\n"),
                  std::string::npos);
    }
}

} // namespace
} // namespace vellarion::test

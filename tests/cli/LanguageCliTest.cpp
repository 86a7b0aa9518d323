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
            {"restore", "firefox", "--prefix", prefix, "--user", "demo", "--from", to, "--archive",
             "nosuch.dat"},
            {"list", s(dir / "backups" / "fbackup_opera.dat.nothing")},
            {"full-backup", "firefox", "--prefix", bare, "--to", to},
            {"restore", "firefox", "--prefix", prefix, "--user", "demo", "--from", to, "--items",
             "nosuch"},
            {"backup", "firefox", "--prefix", prefix, "--user", "demo", "--to",
             s(dir / "backups" / "default.dat" / "below")},
            {"nosuch-command"},
        };
    }

    // The commands a --help lists ("  backup    Back up the ticked …").
    static std::vector<std::string> commandsListed(const std::string& help) {
        static const std::regex listed("(^|\n)  ([a-z][a-z-]*)( {2,}|\n {10,})[^ \n]");
        std::vector<std::string> names;
        for (auto it = std::sregex_iterator(help.begin(), help.end(), listed);
             it != std::sregex_iterator(); ++it) {
            names.push_back((*it)[2].str());
        }
        return names;
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
         {"backup", "restore", "full-backup", "full-restore", "profiles", "items", "convert-opera",
          "pack", "unpack", "list", "verify", "browsers", "schedule"}) {
        commands.push_back({command, "--help"});
    }
    for (const char* command : {"add", "list", "remove", "run"}) {
        commands.push_back({"schedule", command, "--help"});
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

// The whole help, the parser's own words with it, of the program and of
// every command it lists, down to those of "schedule".
TEST_F(LanguageCli, ARussianUserReadsEveryCommandsHelpInRussian) {
    for (const char* how : {"locale", "option"}) {
        SCOPED_TRACE(how);
        const bool option = how == std::string("option");
        UserLocale user(option ? "en_US.UTF-8" : "ru_RU.UTF-8");
        std::vector<std::vector<std::string>> commands = {{}};
        for (std::size_t i = 0; i < commands.size(); ++i) {
            std::vector<std::string> args = commands[i];
            if (option) {
                args.insert(args.begin(), {"--language", "ru"});
            }
            args.emplace_back("--help");
            const Result r = run(args);
            EXPECT_EQ(r.exitCode, 0) << everything(args, r);
            EXPECT_EQ(englishSentence(r.out + r.err), "") << everything(args, r);
            EXPECT_TRUE(hasCyrillic(r.out)) << everything(args, r);
            EXPECT_NE(r.out.find("Использование: vellarion-cli"), std::string::npos) << r.out;
            EXPECT_NE(
                r.out.find("\nПараметры:\n  -h,--help                   Показать эту справку и "
                           "выйти\n"),
                std::string::npos)
                << r.out;
            for (const std::string& name : commandsListed(r.out)) {
                commands.push_back(commands[i]);
                commands.back().push_back(name);
            }
        }
        // The program, its thirteen commands and the four of "schedule".
        EXPECT_EQ(commands.size(), 18u);
    }
    UserLocale russian("ru_RU.UTF-8");
    const Result backup = run({"backup", "--help"});
    for (const char* label : {"Использование: vellarion-cli backup [ПАРАМЕТРЫ] BROWSER\n",
                              "\nАргументы:\n  BROWSER ТЕКСТ:{ie,firefox,", "} ОБЯЗАТЕЛЬНО\n",
                              "  --to DIR ОБЯЗАТЕЛЬНО        Место резервных копий: ",
                              "  --password-file FILE Требует: --encrypt\n",
                              "  --keep N:ЧИСЛО от 1 до 1000 Хранить версии"}) {
        EXPECT_NE(backup.out.find(label), std::string::npos) << label << "\n" << backup.out;
    }
    const Result top = run({"--help"});
    EXPECT_NE(top.out.find("Использование: vellarion-cli [ПАРАМЕТРЫ] КОМАНДА\n"), std::string::npos)
        << top.out;
    EXPECT_NE(top.out.find("\nКоманды:\n  pack "), std::string::npos) << top.out;
    // Asked for after the command, or English asked for.
    EXPECT_TRUE(hasCyrillic(run({"schedule", "add", "--help", "--language", "ru"}).out));
    const Result english = run({"schedule", "add", "--help", "--language=en"});
    EXPECT_FALSE(hasCyrillic(english.out)) << english.out;
    EXPECT_TRUE(english.out.starts_with("Add a schedule: a backup of BROWSER into DIR, hourly, "
                                        "daily or weekly\nUsage: vellarion-cli schedule add "
                                        "[OPTIONS] BROWSER\n\nPositionals:\n  BROWSER TEXT:{"))
        << english.out;
}

// What the system and the archive codec say reaches a Russian user in
// Russian: a folder that cannot be made (below a file), an archive cut
// short or damaged, a file that is not there.
TEST_F(LanguageCli, ARussianUserReadsTheSystemsReasonsAndTheCodecsErrorsInRussian) {
    const fs::path file = dir / "a file";
    writeFile(file, "a file, no folder\n");
    writeFile(dir / "tree" / "a.txt", incompressible(200000));
    writeFile(dir / "tree" / "sub" / "b.txt", std::string(100000, 'b'));
    ASSERT_EQ(run({"pack", s(dir / "tree"), s(dir / "whole.dat")}).exitCode, 0);
    const std::string whole = readFile(dir / "whole.dat");
    // Cut inside the first record's data; and with bytes of it overwritten.
    writeFile(dir / "cut.dat", whole.substr(0, whole.size() / 2));
    writeFile(dir / "cut late.dat", whole.substr(0, whole.size() - 10));
    std::string damaged = whole;
    damaged.replace(200, 8, std::string(8, '\xff'));
    writeFile(dir / "damaged.dat", damaged);
    const std::string below = s(file / "below");
    struct Case {
        std::vector<std::string> args;
        std::string says; // on stderr
    };
    const std::vector<Case> cases = {
        {{"backup", "firefox", "--prefix", s(fx.sample().prefix), "--user", "demo", "--to", below},
         "vellarion-cli: Не удается создать папку " + below + ": не папка\n"},
        {{"unpack", s(dir / "whole.dat"), below},
         "vellarion-cli: Не удается создать папку \"" + below + "\": не папка\n"},
        {{"unpack", s(dir / "cut.dat"), s(dir / "out")}, "vellarion-cli: Ошибка чтения потока\n"},
        {{"unpack", s(dir / "damaged.dat"), s(dir / "out")},
         "vellarion-cli: zlib: ошибка в данных\n"},
        {{"verify", s(dir / "damaged.dat")}, "поврежден"},
        {{"list", s(dir / "cut late.dat")}, "vellarion-cli: Ошибка чтения потока\n"},
        {{"verify", s(dir / "cut late.dat")}, " (Ошибка чтения потока)\n"},
        {{"unpack", s(dir / "nosuch.dat"), s(dir / "out")},
         "vellarion-cli: Не удается открыть файл \"" + s(dir / "nosuch.dat") +
             "\": нет такого файла или папки\n"},
    };
    UserLocale russian("ru_RU.UTF-8");
    for (const Case& c : cases) {
        const Result r = run(c.args);
        EXPECT_EQ(r.exitCode, 1) << everything(c.args, r);
        EXPECT_EQ(englishSentence(r.out + r.err), "") << everything(c.args, r);
        EXPECT_NE((r.out + r.err).find(c.says), std::string::npos) << everything(c.args, r);
    }
    // A schedule's file that cannot be written: its configuration folder is a file.
    const fs::path home = dir / "home";
    writeFile(home / ".config", "a file, no folder\n");
    const Result schedule =
        run({"schedule", "add", "firefox", "--prefix", s(fx.sample().prefix), "--to", below}, home);
    EXPECT_EQ(schedule.err, "vellarion-cli: Не удается записать \"" +
                                s(home / ".config" / "vellarion" / "schedules.json") +
                                "\" (не папка)\n");
    // The same in English, in the system's words.
    UserLocale english("en_US.UTF-8");
    const Result r = run({"unpack", s(dir / "whole.dat"), below});
    EXPECT_EQ(r.err, "vellarion-cli: Cannot create folder \"" + below + "\". Not a directory\n");
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

// The core's texts as an English user is shown them, and the command line's
// as a Russian one is, made from the translation files the build turned into
// the catalogues.
#include "core/text/Catalogue.h"

#include "core/wizards/Messages.h"

#include <gtest/gtest.h>

namespace vellarion {
namespace {

TEST(Catalogue, TextsMadeFromPatternsListsAndSentencesAreTranslatedWhole) {
    const auto english = [](std::string_view text) { return translated(text, Language::English); };
    EXPECT_EQ(english(kSettingsNotFound), "Settings file not found");
    // A pattern's value stays as it is; a value that is a text is translated.
    EXPECT_EQ(english(replaceArchiveQuestion("Закладки.dat")),
              "Backup file \"Закладки.dat\" already exists. Replace it?");
    EXPECT_EQ(english(itemsWithoutDataMessage(false, {"Закладки", "Куки", "places.sqlite"})),
              "The archive holds no data for these items; they were not restored: Bookmarks, "
              "Cookies, places.sqlite.");
    // The same value twice, placed where English puts it.
    EXPECT_EQ(english(formatText(N_("Мастер полного восстановления %1"), {"Zen"})),
              "Zen full restore wizard");
    // A sentence of the catalogue followed by the command line's own words.
    EXPECT_EQ(english(std::string(kSettingsNotFoundChooseCustom) + " Looked in C:\\x."),
              "Settings file not found. Choose a custom profile. Looked in C:\\x.");
    // Names, paths and English texts pass through; Russian keeps everything.
    for (std::string_view other : {"fbackup_firefox.dat", "C:\\Users\\Иван", "Finished", ""}) {
        EXPECT_EQ(english(other), other);
    }
    EXPECT_EQ(translated(kSettingsNotFound, Language::Russian), kSettingsNotFound);
}

TEST(Catalogue, TextsWrittenInEnglishAreShownInRussianFromTheOtherCatalogue) {
    const auto russian = [](std::string_view text) { return translated(text, Language::Russian); };
    // The command line's texts, marked E_ where they are written.
    EXPECT_EQ(russian(E_("interrupted")), "прервано");
    EXPECT_EQ(russian(formatText(E_("Not in this profile: %1"), {"history, cookies"})),
              "Нет в этом профиле: history, cookies");
    // A value that is a text of the same catalogue is translated with it.
    EXPECT_EQ(russian(formatText(E_("using %1"), {formatText(E_("the Windows prefix %1"),
                                                             {"/home/u/.wine"})})),
              "работаю с: префикс Windows /home/u/.wine");
    // The Russian texts, names and paths stay; English keeps its own.
    for (const std::string_view other : {kSettingsNotFound, std::string_view("fbackup_firefox.dat"),
                                         std::string_view("/tmp/nowhere"), std::string_view()}) {
        EXPECT_EQ(russian(other), other);
    }
    EXPECT_EQ(translated(E_("interrupted"), Language::English), "interrupted");
}

// The core's own English messages (the codec's, the file errors with the
// system's words, rclone's) are shown by the windows as the core says them:
// the Russian catalogue knows them only under the command line's keys.
TEST(Catalogue, TheCoresEnglishMessagesStayAsTheCoreSaysThem) {
    for (const std::string_view text :
         {"Stream read error", "zlib returned: data error",
          "Cannot open file \"a.dat\". No such file or directory",
          "Cannot create folder \"/b/in the way\". Not a directory", "Permission denied",
          "Wrong password, or the archive is damaged",
          "rclone knows no remote \"nowhere\": make it with \"rclone config\" (\"rclone "
          "listremotes\" names those it knows)",
          "the remote \"wd\" refused the login (401 Unauthorized): check its user and password "
          "(or token) with \"rclone config\""}) {
        EXPECT_EQ(translated(text, Language::Russian), text);
    }
}

TEST(Catalogue, ALocaleOfRussiaKeepsTheProgramsTextsAnyOtherIsEnglish) {
    for (const char* russian : {"ru", "ru_RU.UTF-8", "ru_UA", "RU", "ru:en"}) {
        EXPECT_EQ(languageOfLocale(russian), Language::Russian) << russian;
    }
    for (const char* other : {"en_US.UTF-8", "C", "C.UTF-8", "POSIX", "de_DE", "run", "en:ru"}) {
        EXPECT_EQ(languageOfLocale(other), Language::English) << other;
    }
    EXPECT_EQ(languageOfLocale(""), std::nullopt);
    EXPECT_EQ(formatText("%2 + %1 = %3%", {"a", "b%1"}), "b%1 + a = %");
}

} // namespace
} // namespace vellarion

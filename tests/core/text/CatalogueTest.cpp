// The core's texts as an English user is shown them, made from the
// translation file the build turned into the catalogue.
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

#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Marks one of the program's own texts for the translation catalogue where it
// is written (lupdate collects what it marks); the text itself stays as it
// stands, and the front ends look it up when they show it.
#define N_(text) text

// Marks a text written in English (the command line's own) the same way: its
// Russian comes from the other catalogue.
#define E_(text) text

namespace vellarion {

// The languages texts are shown in: Russian throughout, or English throughout.
enum class Language { Russian, English };

// The language of what the front ends show; Russian until a front end sets
// it from the user's choice or environment.
Language language();
void setLanguage(Language language);

// "ru" or "en" (as --language and the settings file write them).
std::optional<Language> parseLanguage(std::string_view name);
std::string_view languageName(Language language);

// The language a locale name asks for: a Russian one ("ru", "ru_RU.UTF-8")
// the program's own texts, any other English; none for an empty name.
std::optional<Language> languageOfLocale(std::string_view locale);

// The user's language as the environment says it: LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG, the first one set; on Windows then the language of the
// user's interface; English when nothing says.
Language languageOfEnvironment();

// `text` in the current language: a text written in the other language
// translated, and itself wherever the catalogue knows no translation (a text
// of this language already, a file name). A text made from a pattern ("Файл %1 поврежден") is recognised
// with its values, which are translated in turn where they are texts.
std::string translated(std::string_view text);
std::string translated(std::string_view text, Language language);

// `pattern` with %1 … %9 replaced by the values, in one pass (a value that
// holds "%2" stays as it is).
std::string formatText(std::string_view pattern, std::initializer_list<std::string_view> values);

// A text with placeholders (%1 … %9) split at them: which texts were made
// from it, with which values, and its translation made with those values.
struct TextPattern {
    explicit TextPattern(std::string_view text);

    // The values `text` gives the placeholders, in the order they stand, when
    // it is made from this pattern.
    std::optional<std::vector<std::string_view>> match(std::string_view text) const;
    // When `text` is made from this pattern: `translation` (of the same
    // placeholders) made with the values `text` gave them, each passed
    // through `value` first (a text of its own, translated in turn).
    std::optional<std::string> remade(std::string_view text, std::string_view translation,
                                      const std::function<std::string(std::string_view)>& value)
        const;

    std::vector<std::string_view> pieces; // the literal text around them: one more than `numbers`
    std::vector<int> numbers;             // of the placeholders, 1 for %1, … in the order they stand
    std::size_t literalLength = 0;        // of all pieces: the more, the more specific
};
// Whether the text has a placeholder (%1 … %9).
bool hasPlaceholder(std::string_view text);

} // namespace vellarion

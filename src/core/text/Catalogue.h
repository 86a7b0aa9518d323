#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

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

} // namespace vellarion

#include "core/text/Catalogue.h"

#include "core/services/Text.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <span>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vellarion {

// The catalogues, generated at build time and sorted by source text: the
// English of the texts written in Russian (translations/vellarion_en.ts), and
// the Russian of those written in English (translations/vellarion_ru.ts).
struct CatalogueEntry {
    std::string_view source;
    std::string_view translation;
};
std::span<const CatalogueEntry> englishCatalogue();
std::span<const CatalogueEntry> russianCatalogue();

namespace {

std::atomic<Language> current{Language::Russian};

bool isPlaceholder(std::string_view text, std::size_t at) {
    return at + 1 < text.size() && text[at] == '%' && text[at + 1] >= '1' && text[at + 1] <= '9';
}

// A catalogue entry's source split at its placeholders.
struct Pattern {
    const CatalogueEntry* entry;
    TextPattern text;
};

std::span<const CatalogueEntry> catalogueInto(Language language) {
    return language == Language::English ? englishCatalogue() : russianCatalogue();
}

std::vector<Pattern> patternsOf(std::span<const CatalogueEntry> catalogue) {
    std::vector<Pattern> list;
    for (const CatalogueEntry& entry : catalogue) {
            if (hasPlaceholder(entry.source)) {
            list.push_back({&entry, TextPattern(entry.source)});
        }
    }
    std::stable_sort(list.begin(), list.end(), [](const Pattern& a, const Pattern& b) {
        return a.text.literalLength > b.text.literalLength;
    });
    return list;
}

// The patterns of the catalogue into `language`, the most specific (longest
// literal text) first.
const std::vector<Pattern>& patterns(Language language) {
    static const std::vector<Pattern> english = patternsOf(englishCatalogue());
    static const std::vector<Pattern> russian = patternsOf(russianCatalogue());
    return language == Language::English ? english : russian;
}

std::optional<std::string_view> exact(std::string_view text, Language language) {
    const std::span<const CatalogueEntry> catalogue = catalogueInto(language);
    const auto it = std::lower_bound(
        catalogue.begin(), catalogue.end(), text,
        [](const CatalogueEntry& entry, std::string_view wanted) { return entry.source < wanted; });
    if (it != catalogue.end() && it->source == text) {
        return it->translation;
    }
    return std::nullopt;
}

std::string lookUp(std::string_view text, Language language, int depth) {
    if (text.empty()) {
        return {};
    }
    if (const std::optional<std::string_view> found = exact(text, language)) {
        return std::string(*found);
    }
    if (depth > 2) {
        return std::string(text);
    }
    for (const Pattern& pattern : patterns(language)) {
        // Each value a text of its own where the catalogue knows it.
        if (std::optional<std::string> made = pattern.text.remade(
                text, pattern.entry->translation,
                [&](std::string_view value) { return lookUp(value, language, depth + 1); })) {
            return *made;
        }
    }
    // A sentence of the catalogue with more said after it ("Файл параметров
    // не найден. … No Firefox profile was found …").
    for (const CatalogueEntry& entry : catalogueInto(language)) {
        const std::string_view source = entry.source;
        if (text.size() > source.size() + 1 && text.starts_with(source) &&
            text[source.size()] == ' ' &&
            std::string_view(".:?!").find(source.back()) != std::string_view::npos) {
            return std::string(entry.translation) + " " +
                   lookUp(text.substr(source.size() + 1), language, depth + 1);
        }
    }
    // A list of texts ("Закладки, Куки"): each one on its own.
    if (text.find(", ") != std::string_view::npos) {
        std::string result;
        bool any = false;
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t comma = std::min(text.find(", ", start), text.size());
            const std::string_view part = text.substr(start, comma - start);
            const std::string shown = lookUp(part, language, depth + 1);
            any = any || shown != part;
            result += shown;
            if (comma == text.size()) {
                break;
            }
            result += ", ";
            start = comma + 2;
        }
        if (any) {
            return result;
        }
    }
    return std::string(text);
}

} // namespace

Language language() {
    return current.load();
}

void setLanguage(Language language) {
    current.store(language);
}

std::optional<Language> parseLanguage(std::string_view name) {
    if (name == "ru") {
        return Language::Russian;
    }
    if (name == "en") {
        return Language::English;
    }
    return std::nullopt;
}

std::string_view languageName(Language language) {
    return language == Language::Russian ? "ru" : "en";
}

std::optional<Language> languageOfLocale(std::string_view locale) {
    if (locale.empty()) {
        return std::nullopt;
    }
    // LANGUAGE is a list ("ru:en"): its first entry.
    locale = locale.substr(0, locale.find(':'));
    const bool russian =
        startsWithIgnoreCase(locale, "ru") &&
        (locale.size() == 2 || std::string_view("_-.").find(locale[2]) != std::string_view::npos);
    return russian ? Language::Russian : Language::English;
}

Language languageOfEnvironment() {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (const std::optional<Language> found = languageOfLocale(value != nullptr ? value : "")) {
            return *found;
        }
    }
#ifdef _WIN32
    if (PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_RUSSIAN) {
        return Language::Russian;
    }
#endif
    return Language::English;
}

std::string translated(std::string_view text) {
    return translated(text, language());
}

std::string translated(std::string_view text, Language language) {
    return lookUp(text, language, 0);
}

std::string formatText(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string result;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (isPlaceholder(pattern, i)) {
            const std::size_t index = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (index < values.size()) {
                result += values.begin()[index];
            }
            ++i;
        } else {
            result += pattern[i];
        }
    }
    return result;
}

bool hasPlaceholder(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isPlaceholder(text, i)) {
            return true;
        }
    }
    return false;
}

TextPattern::TextPattern(std::string_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isPlaceholder(text, i)) {
            pieces.push_back(text.substr(start, i - start));
            numbers.push_back(text[i + 1] - '0');
            start = i + 2;
            ++i;
        }
    }
    pieces.push_back(text.substr(start));
    for (std::string_view piece : pieces) {
        literalLength += piece.size();
    }
}

std::optional<std::vector<std::string_view>> TextPattern::match(std::string_view text) const {
    if (!text.starts_with(pieces.front()) || !text.ends_with(pieces.back()) ||
        text.size() < literalLength) {
        return std::nullopt;
    }
    std::vector<std::string_view> values;
    std::size_t at = pieces.front().size();
    const std::size_t end = text.size() - pieces.back().size();
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        const bool last = i + 1 == pieces.size();
        const std::size_t next = last ? end : text.find(pieces[i], at);
        if (next == std::string_view::npos || next > end || next < at) {
            return std::nullopt;
        }
        values.push_back(text.substr(at, next - at));
        at = next + pieces[i].size();
    }
    return values;
}

std::optional<std::string>
TextPattern::remade(std::string_view text, std::string_view translation,
                    const std::function<std::string(std::string_view)>& value) const {
    const std::optional<std::vector<std::string_view>> values = match(text);
    if (!values) {
        return std::nullopt;
    }
    std::vector<std::string> byNumber(10);
    for (std::size_t i = 0; i < values->size(); ++i) {
        byNumber[static_cast<std::size_t>(numbers[i])] = value((*values)[i]);
    }
    std::string result;
    for (std::size_t i = 0; i < translation.size(); ++i) {
        if (isPlaceholder(translation, i)) {
            const auto number = static_cast<std::size_t>(translation[i + 1] - '0');
            if (number < byNumber.size()) {
                result += byNumber[number];
            }
            ++i;
        } else {
            result += translation[i];
        }
    }
    return result;
}

} // namespace vellarion

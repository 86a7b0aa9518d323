#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The decisions of the update check, kept free of any transfer so that they
// can be checked case by case: how versions compare, how a line of the update
// page is read, how an address is split.
namespace vellarion {

enum TmxVersionFormat {
    vfStandard, // dotted decimal fields, "2.1.3"
    vfString,   // plain text, compared code by code
    vfNumber,   // one floating-point number, "2.13"
};

// True when `offered` is a newer version than `current`.
bool isNewerVersion(std::string_view current, std::string_view offered, TmxVersionFormat format);

// One META line of the update page: META NAME="name" CONTENT="value".
struct MetaTag {
    std::string name;
    std::string value;
};

// The tag a line carries, or nothing when it has no "META NAME" (in exactly
// these capitals). A name or value whose closing quote is not within 255
// characters reads as empty.
std::optional<MetaTag> readMetaLine(std::string_view line);

// The lines of a text, split at CR, LF and CR LF.
std::vector<std::string> splitLines(std::string_view text);

// The page's bytes as UTF-8: UTF-8 stays as it is; anything else is read in
// the system's ANSI code page (Latin-1 where the system has none).
std::string decodePageText(std::string_view bytes);

// An address split into host and path. The host may carry its own port
// ("example.org:8080"); an address without a host ("/files/setup.exe") has an
// empty one.
struct ParsedUrl {
    bool secure = false; // https
    std::string Host;
    std::string Path;
};
ParsedUrl parseUpdateUrl(std::string_view url);

// The whole request address for a split one; `httpPort` is used for plain
// http when the host names no port of its own.
std::string composeUrl(const ParsedUrl& url, std::uint16_t httpPort);

// An address as the product's update page keeps it: one without "http://" or
// "https://" in front gets "http://".
std::string normalizeProductUrl(std::string_view url);

// True for a bare file name that stays inside the folder it is saved in: not
// empty, no separators, no drive, not "." or "..".
bool isPlainFileName(std::string_view name);

// A whole text read as a number: spaces around it and a leading "+" are
// allowed, anything else makes it no number.
template <typename Number> std::optional<Number> readNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    Number value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Letter case ignored for ASCII letters only, as in addresses and tags.
bool startsWithNoCase(std::string_view text, std::string_view prefix);
std::size_t findNoCase(std::string_view text, std::string_view what);

} // namespace vellarion

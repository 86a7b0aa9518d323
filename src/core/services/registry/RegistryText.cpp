#include "core/services/registry/RegistryText.h"

#include "core/services/Text.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace vellarion {

namespace {

constexpr std::string_view kSignature = "WINE REGISTRY Version 2";
constexpr std::string_view kRelativeTo = ";; All keys relative to ";

[[noreturn]] void corrupt(const std::string& what) {
    throw RegistryFormatError("Not a registry file: " + what);
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return asciiLower(c) - 'a' + 10;
}

// The registry's own escaping of names and strings: C escapes for control
// characters, "\x" for everything above ASCII, a backslash before "\" and
// before the delimiters of the context.
std::string escapeText(std::u16string_view s, std::string_view delims) {
    static constexpr std::string_view escapes = ".......abtnvfr.............e....";
    std::string out;
    char buffer[16];
    for (size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        const bool more = i + 1 < s.size();
        if (c > 127) {
            const bool hexNext = more && s[i + 1] < 128 && isHex(static_cast<char>(s[i + 1]));
            std::snprintf(buffer, sizeof buffer, hexNext ? "\\x%04x" : "\\x%x",
                          static_cast<unsigned>(c));
            out += buffer;
        } else if (c < 32) {
            if (escapes[c] != '.') {
                out.push_back('\\');
                out.push_back(escapes[c]);
            } else {
                const bool octalNext = more && s[i + 1] >= '0' && s[i + 1] <= '7';
                std::snprintf(buffer, sizeof buffer, octalNext ? "\\%03o" : "\\%o",
                              static_cast<unsigned>(c));
                out += buffer;
            }
        } else {
            const char ch = static_cast<char>(c);
            if (ch == '\\' || delims.find(ch) != std::string_view::npos) {
                out.push_back('\\');
            }
            out.push_back(ch);
        }
    }
    return out;
}

// Reads escaped text from `pos` up to the unescaped `end` character (or to
// the end of `text` when `end` is 0). Leaves `pos` after the terminator.
std::u16string unescapeText(std::string_view text, size_t& pos, char end) {
    std::string utf8; // plain runs are UTF-8; escapes are appended as UTF-16
    std::u16string out;
    auto flush = [&] {
        out += utf8ToUtf16(utf8);
        utf8.clear();
    };
    while (true) {
        if (pos >= text.size()) {
            if (end != 0) {
                corrupt("unterminated text");
            }
            break;
        }
        const char c = text[pos];
        if (end != 0 && c == end) {
            ++pos;
            break;
        }
        if (c != '\\') {
            utf8.push_back(c);
            ++pos;
            continue;
        }
        flush();
        if (++pos >= text.size()) {
            corrupt("escape at end of text");
        }
        const char e = text[pos++];
        switch (e) {
        case 'a':
            out.push_back(7);
            break;
        case 'b':
            out.push_back(8);
            break;
        case 't':
            out.push_back(9);
            break;
        case 'n':
            out.push_back(10);
            break;
        case 'v':
            out.push_back(11);
            break;
        case 'f':
            out.push_back(12);
            break;
        case 'r':
            out.push_back(13);
            break;
        case 'e':
            out.push_back(27);
            break;
        case 'x': {
            unsigned v = 0;
            int n = 0;
            while (n < 4 && pos < text.size() && isHex(text[pos])) {
                v = v * 16 + static_cast<unsigned>(hexDigit(text[pos++]));
                ++n;
            }
            if (n == 0) {
                corrupt("bad \\x escape");
            }
            out.push_back(static_cast<char16_t>(v));
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                unsigned v = static_cast<unsigned>(e - '0');
                for (int n = 1; n < 3 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7';
                     ++n) {
                    v = v * 8 + static_cast<unsigned>(text[pos++] - '0');
                }
                out.push_back(static_cast<char16_t>(v));
            } else {
                out.push_back(static_cast<char16_t>(static_cast<unsigned char>(e)));
            }
        }
    }
    flush();
    return out;
}

// Raw key-path text cut at its separators ("\\" as written).
std::vector<std::string> rawComponents(std::string_view raw) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == '\\') {
            parts.emplace_back();
            ++i;
        } else if (raw[i] == '\\' && i + 1 < raw.size()) {
            parts.back().push_back(raw[i]);
            parts.back().push_back(raw[++i]);
        } else {
            parts.back().push_back(raw[i]);
        }
    }
    if (parts.size() == 1 && parts[0].empty()) {
        parts.clear();
    }
    return parts;
}

std::string joinRaw(const std::vector<std::string>& parts, size_t from, size_t to) {
    return joinStrings(std::span(parts).subspan(from, to - from), "\\\\");
}

std::string unescapeComponent(std::string_view raw) {
    size_t pos = 0;
    return utf16ToUtf8(unescapeText(raw, pos, 0));
}

std::string escapeComponent(std::string_view name) {
    return escapeText(utf8ToUtf16(name), "[]");
}

std::vector<std::string> pathComponents(std::string_view path) {
    return keyComponents(path);
}

// Key order as the registry writes its keys: a parent before its children,
// siblings by name without regard to case.
bool keyPathLess(std::string_view a, std::string_view b) {
    const auto ca = pathComponents(a);
    const auto cb = pathComponents(b);
    for (size_t i = 0; i < ca.size() && i < cb.size(); ++i) {
        if (!equalsIgnoreCase(ca[i], cb[i])) {
            return lessIgnoreCase(ca[i], cb[i]);
        }
    }
    return ca.size() < cb.size();
}

// `path` is `key` or lies below it.
bool inSubtree(std::string_view path, std::string_view key) {
    if (key.empty()) {
        return true;
    }
    return equalsIgnoreCase(path, key) || (path.size() > key.size() && path[key.size()] == '\\' &&
                                           startsWithIgnoreCase(path, key));
}

std::string joinPath(const std::vector<std::string>& parts) {
    return joinStrings(parts, "\\");
}

RegistryKeySection parseHeader(std::string_view line) {
    size_t i = 1;
    while (i < line.size() && line[i] != ']') {
        i += line[i] == '\\' ? 2 : 1;
    }
    if (i >= line.size()) {
        corrupt("unterminated key name");
    }
    RegistryKeySection s;
    s.rawPath = std::string(line.substr(1, i - 1));
    s.rest = std::string(line.substr(i + 1));
    std::vector<std::string> parts;
    for (const auto& raw : rawComponents(s.rawPath)) {
        parts.push_back(unescapeComponent(raw));
    }
    s.path = joinPath(parts);
    return s;
}

struct ParsedValue {
    RegistryValue value;
    size_t firstLine;
    size_t endLine;
};

std::vector<std::uint8_t> utf16Bytes(std::u16string_view s, bool terminate) {
    std::vector<std::uint8_t> out;
    out.reserve((s.size() + 1) * 2);
    for (char16_t c : s) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    if (terminate) {
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

std::uint32_t parseHexNumber(std::string_view text, size_t& pos, size_t maxDigits) {
    std::uint32_t v = 0;
    size_t n = 0;
    while (n < maxDigits && pos < text.size() && isHex(text[pos])) {
        v = v * 16 + static_cast<std::uint32_t>(hexDigit(text[pos++]));
        ++n;
    }
    if (n == 0) {
        corrupt("number expected");
    }
    return v;
}

void expectEnd(std::string_view text, size_t pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r')) {
        ++pos;
    }
    if (pos != text.size()) {
        corrupt("unexpected text after a value");
    }
}

std::vector<ParsedValue> parseSectionValues(const RegistryKeySection& section) {
    std::vector<ParsedValue> values;
    const auto& lines = section.lines;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.empty() || line == "\r" || line[0] == ';' || line[0] == '#') {
            continue;
        }
        if (line[0] != '"' && line[0] != '@') {
            corrupt("unexpected line in key [" + section.path + "]");
        }
        ParsedValue pv;
        pv.firstLine = i;
        size_t pos = 1;
        if (line[0] == '"') {
            pv.value.name = utf16ToUtf8(unescapeText(line, pos, '"'));
        }
        if (pos >= line.size() || line[pos] != '=') {
            corrupt("'=' expected after a value name");
        }
        ++pos;
        std::string_view data = line.substr(pos);
        if (data.starts_with("\"")) {
            size_t p = 1;
            pv.value.type = regtype::String;
            pv.value.data = utf16Bytes(unescapeText(data, p, '"'), true);
            expectEnd(data, p);
        } else if (data.starts_with("str(")) {
            size_t p = 4;
            pv.value.type = parseHexNumber(data, p, 8);
            if (data.substr(p, 3) != "):\"") {
                corrupt("bad string type");
            }
            p += 3;
            pv.value.data = utf16Bytes(unescapeText(data, p, '"'), true);
            expectEnd(data, p);
        } else if (data.starts_with("dword:")) {
            size_t p = 6;
            const std::uint32_t v = parseHexNumber(data, p, 8);
            expectEnd(data, p);
            pv.value.type = regtype::Dword;
            pv.value.data = RegistryValue::dword({}, v).data;
            pv.value.data = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                             static_cast<std::uint8_t>(v >> 16),
                             static_cast<std::uint8_t>(v >> 24)};
        } else if (data.starts_with("hex:") || data.starts_with("hex(")) {
            size_t p = 3;
            pv.value.type = regtype::Binary;
            if (data[3] == '(') {
                p = 4;
                pv.value.type = parseHexNumber(data, p, 8);
                if (p >= data.size() || data[p] != ')') {
                    corrupt("bad binary type");
                }
                ++p;
            }
            if (p >= data.size() || data[p] != ':') {
                corrupt("':' expected");
            }
            ++p;
            // Gather the continuation lines of long data.
            std::string bytes(data.substr(p));
            while (!bytes.empty() && (bytes.back() == '\\' || bytes.back() == '\r')) {
                if (bytes.back() == '\r') {
                    bytes.pop_back();
                    continue;
                }
                bytes.pop_back();
                if (++i >= lines.size()) {
                    corrupt("continuation line missing");
                }
                bytes += lines[i];
            }
            size_t q = 0;
            auto skipSpace = [&] {
                while (q < bytes.size() &&
                       (bytes[q] == ' ' || bytes[q] == '\t' || bytes[q] == '\r')) {
                    ++q;
                }
            };
            skipSpace();
            while (q < bytes.size()) {
                pv.value.data.push_back(static_cast<std::uint8_t>(parseHexNumber(bytes, q, 2)));
                skipSpace();
                if (q < bytes.size()) {
                    if (bytes[q] != ',') {
                        corrupt("',' expected in binary data");
                    }
                    ++q;
                    skipSpace();
                }
            }
        } else {
            corrupt("unknown value type in key [" + section.path + "]");
        }
        pv.endLine = i + 1;
        values.push_back(std::move(pv));
    }
    return values;
}

std::string timeStampRest() {
    return " " + std::to_string(std::time(nullptr));
}

std::string timeLine() {
    // 100-nanosecond intervals since 1601, as the registry stamps its keys.
    const auto since1970 = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
    const unsigned long long ticks =
        static_cast<unsigned long long>(since1970 / 100) + 116444736000000000ULL;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "#time=%llx", ticks);
    return buffer;
}

} // namespace

std::vector<std::string> keyComponents(std::string_view key) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : key) {
        if (c == '\\') {
            if (!current.empty()) {
                parts.push_back(std::move(current));
                current.clear();
            }
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) {
        parts.push_back(std::move(current));
    }
    return parts;
}

RegistryValue RegistryValue::string(std::string name, std::string_view utf8, std::uint32_t type) {
    return {std::move(name), type, utf16Bytes(utf8ToUtf16(utf8), true)};
}

RegistryValue RegistryValue::dword(std::string name, std::uint32_t v) {
    return {std::move(name),
            regtype::Dword,
            {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
             static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)}};
}

RegistryValue RegistryValue::binary(std::string name, std::vector<std::uint8_t> bytes) {
    return {std::move(name), regtype::Binary, std::move(bytes)};
}

std::vector<RegistryValue> parseValues(const RegistryKeySection& section) {
    std::vector<RegistryValue> out;
    for (auto& pv : parseSectionValues(section)) {
        out.push_back(std::move(pv.value));
    }
    return out;
}

std::string formatValue(const RegistryValue& value) {
    std::string out;
    if (value.name.empty()) {
        out = "@=";
    } else {
        out = "\"" + escapeText(utf8ToUtf16(value.name), "\"") + "\"=";
    }
    const auto& d = value.data;
    const bool isStringType = value.type == regtype::String ||
                              value.type == regtype::ExpandString ||
                              value.type == regtype::MultiString;
    if (isStringType && d.size() >= 2 && d.size() % 2 == 0 && d[d.size() - 1] == 0 &&
        d[d.size() - 2] == 0) {
        std::u16string text;
        for (size_t i = 0; i + 2 < d.size(); i += 2) {
            text.push_back(static_cast<char16_t>(d[i] | (d[i + 1] << 8)));
        }
        if (value.type != regtype::String) {
            char buffer[24];
            std::snprintf(buffer, sizeof buffer, "str(%x):", value.type);
            out += buffer;
        }
        return out + "\"" + escapeText(text, "\"") + "\"";
    }
    if (value.type == regtype::Dword && d.size() == 4) {
        char buffer[24];
        std::snprintf(buffer, sizeof buffer, "dword:%08x",
                      static_cast<unsigned>(d[0] | (d[1] << 8) | (d[2] << 16)) |
                          (static_cast<unsigned>(d[3]) << 24));
        return out + buffer;
    }
    char buffer[24];
    if (value.type == regtype::Binary) {
        out += "hex:";
    } else {
        std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
        out += buffer;
    }
    // Long data wraps after the column the registry itself wraps at.
    size_t column = out.size();
    for (size_t i = 0; i < d.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, "%02x", d[i]);
        out += buffer;
        column += 2;
        if (i + 1 < d.size()) {
            out.push_back(',');
            if (++column > 76) {
                out += "\\\n  ";
                column = 2;
            }
        }
    }
    return out;
}

RegistryText RegistryText::parse(std::string_view text) {
    RegistryText reg;
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            reg.finalNewline_ = false;
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (lines.empty() || (lines[0] != kSignature && lines[0] != std::string(kSignature) + "\r")) {
        throw RegistryFormatError("The configuration registry database is corrupt");
    }
    try {
        for (auto& line : lines) {
            if (!line.empty() && line[0] == '[') {
                reg.sections_.push_back(parseHeader(line));
            } else if (reg.sections_.empty()) {
                reg.preamble_.push_back(std::move(line));
            } else {
                reg.sections_.back().lines.push_back(std::move(line));
            }
        }
        for (size_t i = 1; i < reg.preamble_.size(); ++i) {
            const std::string& line = reg.preamble_[i];
            if (!line.empty() && line != "\r" && line[0] != ';' && line[0] != '#') {
                corrupt("unexpected line before the first key");
            }
        }
        for (const auto& s : reg.sections_) {
            parseSectionValues(s);
        }
    } catch (const RegistryFormatError&) {
        throw RegistryFormatError("The configuration registry database is corrupt");
    }
    return reg;
}

RegistryText RegistryText::create(std::string_view relativeTo, std::string_view arch) {
    RegistryText reg;
    reg.preamble_ = {std::string(kSignature), std::string(kRelativeTo) + std::string(relativeTo)};
    if (!arch.empty()) {
        reg.preamble_.emplace_back();
        reg.preamble_.push_back("#arch=" + std::string(arch));
    }
    return reg;
}

std::string RegistryText::serialize() const {
    std::string out;
    auto put = [&](const std::string& line) {
        out += line;
        out.push_back('\n');
    };
    for (const auto& line : preamble_) {
        put(line);
    }
    for (const auto& s : sections_) {
        put("[" + s.rawPath + "]" + s.rest);
        for (const auto& line : s.lines) {
            put(line);
        }
    }
    if (!finalNewline_ && !out.empty()) {
        out.pop_back();
    }
    return out;
}

bool RegistryText::hasKey(std::string_view key) const {
    const std::string k = joinPath(keyComponents(key));
    if (k.empty()) {
        return true;
    }
    return std::any_of(sections_.begin(), sections_.end(),
                       [&](const RegistryKeySection& s) { return inSubtree(s.path, k); });
}

std::vector<RegistryValue> RegistryText::values(std::string_view key) const {
    const std::string k = joinPath(keyComponents(key));
    for (const auto& s : sections_) {
        if (equalsIgnoreCase(s.path, k)) {
            return parseValues(s);
        }
    }
    return {};
}

std::optional<RegistryText> RegistryText::saveKey(std::string_view key) const {
    const std::vector<std::string> parts = keyComponents(key);
    const std::string k = joinPath(parts);
    if (!hasKey(k)) {
        return std::nullopt;
    }
    RegistryText out;
    std::string relativeTo = "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000";
    std::string arch;
    for (const auto& line : preamble_) {
        if (line.starts_with(kRelativeTo)) {
            relativeTo = line.substr(kRelativeTo.size());
        } else if (line.starts_with("#arch=")) {
            arch = line;
        }
    }
    std::string keyRaw;
    for (const auto& s : sections_) {
        if (!inSubtree(s.path, k)) {
            continue;
        }
        const auto raw = rawComponents(s.rawPath);
        if (keyRaw.empty() && !parts.empty()) {
            // The key's name as the registry stores it, whatever case the caller used.
            keyRaw = joinRaw(raw, 0, parts.size());
        }
        RegistryKeySection rel = s;
        rel.rawPath = joinRaw(raw, parts.size(), raw.size());
        const auto comps = pathComponents(s.path);
        rel.path = joinPath(std::vector<std::string>(
            comps.begin() + static_cast<std::ptrdiff_t>(parts.size()), comps.end()));
        out.sections_.push_back(std::move(rel));
    }
    out.preamble_ = {std::string(kSignature), std::string(kRelativeTo) + relativeTo +
                                                  (keyRaw.empty() ? "" : "\\\\") + keyRaw};
    if (!arch.empty()) {
        out.preamble_.emplace_back();
        out.preamble_.push_back(arch);
    }
    out.preamble_.emplace_back();
    for (size_t i = 0; i < out.sections_.size(); ++i) {
        auto& lines = out.sections_[i].lines;
        while (!lines.empty() && lines.back().empty()) {
            lines.pop_back();
        }
        if (i + 1 < out.sections_.size()) {
            lines.emplace_back();
        }
    }
    return out;
}

void RegistryText::restoreKey(std::string_view key, const RegistryText& saved) {
    const std::vector<std::string> parts = keyComponents(key);
    const std::string k = joinPath(parts);

    // Each component of the key keeps the spelling the registry already has.
    std::vector<std::string> prefixRaw;
    for (size_t i = 0; i < parts.size(); ++i) {
        std::string raw = escapeComponent(parts[i]);
        for (const auto& s : sections_) {
            const auto sp = pathComponents(s.path);
            if (sp.size() > i &&
                std::equal(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(i + 1),
                           sp.begin(), [](const std::string& a, const std::string& b) {
                               return equalsIgnoreCase(a, b);
                           })) {
                raw = rawComponents(s.rawPath)[i];
                break;
            }
        }
        prefixRaw.push_back(std::move(raw));
    }
    const std::string keyRaw = joinRaw(prefixRaw, 0, prefixRaw.size());

    std::vector<RegistryKeySection> incoming;
    for (const auto& s : saved.sections_) {
        RegistryKeySection n = s;
        n.rawPath = keyRaw + (!keyRaw.empty() && !s.rawPath.empty() ? "\\\\" : "") + s.rawPath;
        n.path = k + (!k.empty() && !s.path.empty() ? "\\" : "") + s.path;
        while (!n.lines.empty() && n.lines.back().empty()) {
            n.lines.pop_back();
        }
        incoming.push_back(std::move(n));
    }
    if (incoming.empty()) {
        // An empty saved key still leaves the key itself in place.
        incoming.push_back({keyRaw, k, timeStampRest(), {timeLine()}});
    }

    size_t insertAt = sections_.size();
    bool found = false;
    std::vector<RegistryKeySection> kept;
    for (size_t i = 0; i < sections_.size(); ++i) {
        if (inSubtree(sections_[i].path, k)) {
            if (!found) {
                insertAt = kept.size();
                found = true;
            }
            continue;
        }
        kept.push_back(std::move(sections_[i]));
    }
    sections_ = std::move(kept);
    insertSections(found ? insertAt : sortedPosition(k), std::move(incoming));
}

size_t RegistryText::sortedPosition(std::string_view path) const {
    return static_cast<size_t>(
        std::find_if(sections_.begin(), sections_.end(),
                     [&](const RegistryKeySection& s) { return keyPathLess(path, s.path); }) -
        sections_.begin());
}

void RegistryText::insertSections(size_t at, std::vector<RegistryKeySection> incoming) {
    // Each key is preceded by a blank line, as the registry writes them.
    auto& before = at == 0 ? preamble_ : sections_[at - 1].lines;
    if (before.empty() || !before.back().empty()) {
        before.emplace_back();
    }
    const bool followed = at < sections_.size();
    for (size_t i = 0; i < incoming.size(); ++i) {
        if (i + 1 < incoming.size() || followed) {
            incoming[i].lines.emplace_back();
        }
    }
    sections_.insert(sections_.begin() + static_cast<std::ptrdiff_t>(at),
                     std::make_move_iterator(incoming.begin()),
                     std::make_move_iterator(incoming.end()));
}

void RegistryText::createKey(std::string_view key) {
    const std::string k = joinPath(keyComponents(key));
    const auto own = [&](const RegistryKeySection& s) { return equalsIgnoreCase(s.path, k); };
    if (std::any_of(sections_.begin(), sections_.end(), own)) {
        return;
    }
    std::vector<std::string> raw;
    for (const auto& part : keyComponents(k)) {
        raw.push_back(escapeComponent(part));
    }
    insertSections(sortedPosition(k),
                   {{joinRaw(raw, 0, raw.size()), k, timeStampRest(), {timeLine()}}});
}

void RegistryText::setValue(std::string_view key, const RegistryValue& value) {
    const std::string k = joinPath(keyComponents(key));
    createKey(k);
    const auto it =
        std::find_if(sections_.begin(), sections_.end(),
                     [&](const RegistryKeySection& s) { return equalsIgnoreCase(s.path, k); });
    auto& lines = it->lines;
    const auto values = parseSectionValues(*it);
    // A long value spans several lines of the file.
    std::vector<std::string> text;
    const std::string formatted = formatValue(value);
    for (size_t start = 0;;) {
        const size_t end = formatted.find('\n', start);
        text.push_back(formatted.substr(start, end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    auto put = [&](size_t at) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), text.begin(), text.end());
    };
    for (const auto& pv : values) {
        if (equalsIgnoreCase(pv.value.name, value.name)) {
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(pv.firstLine),
                        lines.begin() + static_cast<std::ptrdiff_t>(pv.endLine));
            put(pv.firstLine);
            return;
        }
    }
    size_t at = values.empty() ? 0 : values.back().endLine;
    if (values.empty()) {
        // After the time and class marks.
        while (at < lines.size() && !lines[at].empty() && lines[at][0] == '#') {
            ++at;
        }
    }
    for (const auto& pv : values) {
        if (lessIgnoreCase(value.name, pv.value.name)) {
            at = pv.firstLine;
            break;
        }
    }
    put(at);
}

} // namespace vellarion

#include "core/update/UpdateRules.h"

#include <climits>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vellarion {

namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// A version field as a decimal integer; 0 when it is not one.
long long fieldValue(std::string_view field) {
    return readNumber<int>(field).value_or(0);
}

bool standardNewer(std::string_view current, std::string_view offered) {
    // The fields of the current version lead; when the offered one runs out
    // of dots, its last field is compared with each further current field.
    for (;;) {
        const std::size_t d1 = current.find('.');
        const std::size_t d2 = offered.find('.');
        const long long mine = fieldValue(current.substr(0, d1));
        const long long theirs = fieldValue(offered.substr(0, d2));
        if (theirs != mine) {
            return theirs > mine;
        }
        if (d1 == std::string_view::npos) {
            return false;
        }
        current.remove_prefix(d1 + 1);
        if (d2 != std::string_view::npos) {
            offered.remove_prefix(d2 + 1);
        }
    }
}

std::string quotedFrom(std::string_view line, std::size_t start) {
    if (start >= line.size()) {
        return {};
    }
    const std::string_view window = line.substr(start, 255);
    const std::size_t quote = window.find('"');
    return quote == std::string_view::npos ? std::string() : std::string(window.substr(0, quote));
}

bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xc2 && c <= 0xdf) {
            extra = 1;
        } else if (c >= 0xe0 && c <= 0xef) {
            extra = 2;
        } else if (c >= 0xf0 && c <= 0xf4) {
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= s.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xc0) != 0x80) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

} // namespace

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (lowerAscii(text[i]) != lowerAscii(prefix[i])) {
            return false;
        }
    }
    return true;
}

std::size_t findNoCase(std::string_view text, std::string_view what) {
    for (std::size_t i = 0; i + what.size() <= text.size(); ++i) {
        if (startsWithNoCase(text.substr(i), what)) {
            return i;
        }
    }
    return std::string_view::npos;
}

bool isNewerVersion(std::string_view current, std::string_view offered, TmxVersionFormat format) {
    switch (format) {
    case vfString:
        return offered > current;
    case vfNumber: {
        const auto mine = readNumber<double>(current);
        const auto theirs = readNumber<double>(offered);
        return mine && theirs && *theirs > *mine;
    }
    case vfStandard:
        break;
    }
    return standardNewer(current, offered);
}

std::optional<MetaTag> readMetaLine(std::string_view line) {
    const std::size_t at = line.find("META NAME");
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    // The name starts after META NAME=" and the value after CONTENT=".
    MetaTag tag;
    tag.name = quotedFrom(line, at + 11);
    const std::size_t content = findNoCase(line, "CONTENT=");
    if (content != std::string_view::npos) {
        tag.value = quotedFrom(line, content + 9);
    }
    return tag;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
    return lines;
}

std::string decodePageText(std::string_view bytes) {
    if (isValidUtf8(bytes)) {
        return std::string(bytes);
    }
#ifdef _WIN32
    const int wide =
        ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), w.data(), wide);
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, out.data(), n, nullptr, nullptr);
    return out;
#else
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xc0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
        }
    }
    return out;
#endif
}

ParsedUrl parseUpdateUrl(std::string_view url) {
    ParsedUrl parsed;
    bool hadScheme = true;
    if (startsWithNoCase(url, "https://")) {
        parsed.secure = true;
        url.remove_prefix(8);
    } else if (startsWithNoCase(url, "http://")) {
        url.remove_prefix(7);
    } else {
        hadScheme = false;
    }
    const std::size_t slash = url.find('/');
    if (slash == std::string_view::npos) {
        // "http://example.org" names the server's root; a bare "setup.exe"
        // is a path on the update page's server.
        if (hadScheme) {
            parsed.Host = url;
            parsed.Path = "/";
        } else {
            parsed.Path = url;
        }
        return parsed;
    }
    parsed.Host = url.substr(0, slash);
    parsed.Path = url.substr(slash);
    return parsed;
}

std::string composeUrl(const ParsedUrl& url, std::uint16_t httpPort) {
    std::string out = url.secure ? "https://" : "http://";
    out += url.Host;
    const std::size_t colon = url.Host.rfind(':');
    const bool ownPort = colon != std::string::npos && colon + 1 < url.Host.size() &&
                         url.Host.find_first_not_of("0123456789", colon + 1) == std::string::npos;
    if (!url.secure && !ownPort && httpPort != 80) {
        out += ':' + std::to_string(httpPort);
    }
    if (url.Path.empty() || url.Path.front() != '/') {
        out += '/';
    }
    out += url.Path;
    return out;
}

std::string normalizeProductUrl(std::string_view url) {
    if (startsWithNoCase(url, "http://") || startsWithNoCase(url, "https://")) {
        return std::string(url);
    }
    return "http://" + std::string(url);
}

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

} // namespace vellarion

#include "core/archive/StoredName.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vellarion {

#ifdef _WIN32

namespace {

std::wstring wideFromUtf8(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string utf8FromWide(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n,
                          nullptr, nullptr);
    return text;
}

} // namespace

std::optional<std::string> encodeStoredName(std::string_view text) {
    const UINT codePage = ::GetACP();
    std::string stored;
    if (codePage == CP_UTF8) {
        stored = text;
    } else if (!text.empty()) {
        // No best-fit mapping: a character the code page lacks is the default
        // character, never a look-alike such as "\" for a full-width one.
        const std::wstring wide = wideFromUtf8(text);
        const int n =
            ::WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(),
                                  static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
        stored.resize(static_cast<std::size_t>(n));
        ::WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(),
                              static_cast<int>(wide.size()), stored.data(), n, nullptr, nullptr);
    }
    if (stored.size() > maxStoredNameBytes) {
        return std::nullopt;
    }
    return stored;
}

std::string decodeStoredName(std::string_view stored) {
    if (stored.empty()) {
        return {};
    }
    const int n = ::MultiByteToWideChar(CP_ACP, 0, stored.data(), static_cast<int>(stored.size()),
                                        nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, stored.data(), static_cast<int>(stored.size()), wide.data(),
                          n);
    return utf8FromWide(wide);
}

#else

std::optional<std::string> encodeStoredName(std::string_view text) {
    if (text.size() > maxStoredNameBytes) {
        return std::nullopt;
    }
    return std::string(text);
}

std::string decodeStoredName(std::string_view stored) {
    return std::string(stored);
}

#endif

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// "..", and what Windows trims to it: trailing dots and spaces go.
bool meansParent(std::string_view component) {
    std::size_t dots = 0;
    for (char c : component) {
        if (c == '.') {
            ++dots;
        } else if (c != ' ') {
            return false;
        }
    }
    return dots >= 2 && component.substr(0, 2) == "..";
}

} // namespace

bool isUnsafeStoredPath(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    if (isSeparator(text.front()) || text.find('\0') != std::string_view::npos) {
        return true;
    }
    if (text.size() >= 2 && text[1] == ':' &&
        ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
        return true;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = start;
        while (end < text.size() && !isSeparator(text[end])) {
            ++end;
        }
        if (meansParent(text.substr(start, end - start))) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

} // namespace vellarion

#pragma once

// Base64 as the Chromium family writes keys into "Local State", written
// apart from the program's own so that the suites check it.
#include <cstdint>
#include <string>
#include <string_view>

namespace vellarion::test {

inline std::string base64(std::string_view in) {
    static constexpr char a[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < in.size(); i += 3) {
        const std::uint32_t n = (std::uint32_t(std::uint8_t(in[i])) << 16) |
                                (i + 1 < in.size() ? std::uint8_t(in[i + 1]) << 8 : 0) |
                                (i + 2 < in.size() ? std::uint8_t(in[i + 2]) : 0);
        out += a[(n >> 18) & 63];
        out += a[(n >> 12) & 63];
        out += i + 1 < in.size() ? a[(n >> 6) & 63] : '=';
        out += i + 2 < in.size() ? a[n & 63] : '=';
    }
    return out;
}

inline std::string unbase64(std::string_view in) {
    static const std::string a = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::uint32_t bits = 0;
    int count = 0;
    for (char c : in) {
        if (c == '=') {
            break;
        }
        bits = (bits << 6) | static_cast<std::uint32_t>(a.find(c));
        if ((count += 6) >= 8) {
            out += static_cast<char>((bits >> (count -= 8)) & 0xFF);
        }
    }
    return out;
}

} // namespace vellarion::test

#include "core/services/PathMapper.h"

namespace vellarion {

std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string pathToUtf8(const std::filesystem::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

bool hasDriveLetter(std::string_view p) {
    return p.size() >= 2 && p[1] == ':' &&
           ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
}

std::string PathMapper::fromNative(const std::filesystem::path& nativePath) const {
    return pathToUtf8(nativePath);
}

std::string PathMapper::toDisplay(std::string_view programPath) const {
#ifdef _WIN32
    return std::string(programPath);
#else
    const auto native = programPath.empty() ? std::nullopt : toNative(programPath);
    return native ? pathToUtf8(*native) : std::string(programPath);
#endif
}

std::optional<std::filesystem::path>
NativePathMapper::toNative(std::string_view programPath) const {
#ifdef _WIN32
    return pathFromUtf8(programPath);
#else
    if (hasDriveLetter(programPath)) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(programPath.size());
    for (char c : programPath) {
        if (c == '\\') {
            c = '/';
        }
        if (c == '/' && !out.empty() && out.back() == '/') {
            continue;
        }
        out.push_back(c);
    }
    return pathFromUtf8(out);
#endif
}

const PathMapper& nativePathMapper() {
    static const NativePathMapper mapper;
    return mapper;
}

} // namespace vellarion

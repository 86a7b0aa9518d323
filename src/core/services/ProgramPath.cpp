#include "core/services/ProgramPath.h"

namespace vellarion {

char separatorOf(std::string_view path) {
    return path.find('/') != std::string_view::npos && path.find('\\') == std::string_view::npos
               ? '/'
               : '\\';
}

std::string withSeparator(std::string_view dir) {
    std::string out(dir);
    if (!out.empty() && !isPathSeparator(out.back())) {
        out += separatorOf(dir);
    }
    return out;
}

std::string joinPath(std::string_view dir, std::string_view name) {
    if (name.empty()) {
        return std::string(dir);
    }
    return withSeparator(dir) + std::string(name);
}

std::string_view withoutTrailingSeparators(std::string_view path) {
    while (!path.empty() && isPathSeparator(path.back())) {
        path.remove_suffix(1);
    }
    return path;
}

std::string parentPath(std::string_view path) {
    path = withoutTrailingSeparators(path);
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut));
}

std::string lastName(std::string_view path) {
    path = withoutTrailingSeparators(path);
    const size_t cut = path.find_last_of("\\/");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string relativeTo(std::string_view path, std::string_view dir) {
    dir = withoutTrailingSeparators(dir);
    if (dir.empty() || !path.starts_with(dir)) {
        return {};
    }
    std::string_view rest = path.substr(dir.size());
    if (rest.empty() || !isPathSeparator(rest.front())) {
        return {};
    }
    while (!rest.empty() && isPathSeparator(rest.front())) {
        rest.remove_prefix(1);
    }
    return std::string(rest);
}

bool isOneFolderName(std::string_view name) {
    return name.find_first_of("\\/:") == std::string_view::npos &&
           name.find_last_not_of(". ") != std::string_view::npos;
}

} // namespace vellarion

#include "core/services/platform/posix/PrefixPathMapper.h"

#include "core/services/Text.h"

#include <vector>

namespace vellarion {

namespace fs = std::filesystem;

namespace {

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::vector<std::string_view> components(std::string_view text) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\\' || text[i] == '/') {
            const auto part = text.substr(start, i - start);
            if (part == "..") {
                if (!parts.empty()) {
                    parts.pop_back();
                }
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            start = i + 1;
        }
    }
    return parts;
}

fs::path normalRoot(const fs::path& p) {
    std::error_code ec;
    fs::path r = fs::weakly_canonical(p, ec);
    if (ec) {
        r = p.lexically_normal();
    }
    return r;
}

} // namespace

PrefixPathMapper::PrefixPathMapper(std::map<char, fs::path> drives, char systemDrive)
    : systemDrive_(upper(systemDrive)) {
    for (auto& [letter, root] : drives) {
        drives_[upper(letter)] = std::move(root);
    }
}

fs::path PrefixPathMapper::matchChild(const fs::path& dir, std::string_view name) {
    const fs::path exact = dir / pathFromUtf8(name);
    std::error_code ec;
    if (fs::symlink_status(exact, ec).type() != fs::file_type::not_found && !ec) {
        return exact;
    }
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = pathToUtf8(it->path().filename());
        if (equalsIgnoreCase(entry, name)) {
            return it->path();
        }
    }
    return exact;
}

std::optional<fs::path> PrefixPathMapper::toNative(std::string_view text) const {
    char letter = 0;
    std::string_view rest;
    if (hasDriveLetter(text)) {
        letter = upper(text[0]);
        rest = text.substr(2);
    } else if (text.starts_with("\\\\")) {
        return std::nullopt; // a network share: nothing here
    } else if (text.starts_with("\\")) {
        letter = systemDrive_;
        rest = text;
    } else {
        return NativePathMapper().toNative(text);
    }
    const auto drive = drives_.find(letter);
    if (drive == drives_.end()) {
        return std::nullopt;
    }
    fs::path out = drive->second;
    bool resolving = true;
    for (const auto part : components(rest)) {
        if (resolving) {
            const fs::path next = matchChild(out, part);
            std::error_code ec;
            resolving = fs::is_directory(next, ec);
            out = next;
        } else {
            out /= pathFromUtf8(part);
        }
    }
    return out;
}

std::string PrefixPathMapper::fromNative(const fs::path& nativePath) const {
    const fs::path p = nativePath.lexically_normal();
    const std::pair<const char, fs::path>* best = nullptr;
    size_t bestDepth = 0;
    for (const auto& entry : drives_) {
        const fs::path root = entry.second.lexically_normal();
        if (root == root.root_path()) {
            continue; // a drive over the whole filesystem would swallow every native path
        }
        const fs::path rel = p.lexically_relative(root);
        if (rel.empty() || *rel.begin() == "..") {
            continue;
        }
        const size_t depth = static_cast<size_t>(std::distance(root.begin(), root.end()));
        if (best == nullptr || depth > bestDepth) {
            best = &entry;
            bestDepth = depth;
        }
    }
    if (best == nullptr) {
        return pathToUtf8(nativePath);
    }
    std::string out{best->first, ':', '\\'};
    const fs::path rel = p.lexically_relative(best->second.lexically_normal());
    bool first = true;
    for (const auto& part : rel) {
        if (part == "." || part.empty()) {
            continue;
        }
        if (!first) {
            out.push_back('\\');
        }
        out += pathToUtf8(part);
        first = false;
    }
    return out;
}

bool PrefixPathMapper::isDriveRoot(const fs::path& nativePath) const {
    const fs::path p = normalRoot(nativePath);
    for (const auto& entry : drives_) {
        if (normalRoot(entry.second) == p) {
            return true;
        }
    }
    return false;
}

} // namespace vellarion

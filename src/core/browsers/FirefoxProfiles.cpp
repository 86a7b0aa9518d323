#include "core/browsers/FirefoxProfiles.h"

#include "core/services/ProgramPath.h"
#include "core/services/Text.h"

#include <algorithm>

namespace vellarion {

namespace {

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> values;

    std::string value(std::string_view key) const {
        for (const auto& [k, v] : values) {
            if (equalsIgnoreCase(k, key)) {
                return v;
            }
        }
        return {};
    }
};

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::vector<Section> parse(std::string_view text) {
    std::vector<Section> sections;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            sections.push_back({std::string(line.substr(1, line.size() - 2)), {}});
        } else if (const size_t eq = line.find('=');
                   eq != std::string_view::npos && !sections.empty()) {
            sections.back().values.emplace_back(std::string(trimmed(line.substr(0, eq))),
                                                std::string(trimmed(line.substr(eq + 1))));
        }
    }
    return sections;
}

// The number of a "[ProfileN]" section, or -1.
int profileNumber(std::string_view section) {
    if (!startsWithIgnoreCase(section, "Profile") || section.size() == 7) {
        return -1;
    }
    const std::string_view digits = section.substr(7);
    if (digits.find_first_not_of("0123456789") != std::string_view::npos || digits.size() > 6) {
        return -1;
    }
    return std::stoi(std::string(digits));
}

} // namespace

std::vector<ListedProfile> listedProfiles(std::string_view profilesIni, std::string_view root) {
    const std::vector<Section> sections = parse(profilesIni);
    std::string installDefault;
    for (const Section& s : sections) {
        if (startsWithIgnoreCase(s.name, "Install") && installDefault.empty()) {
            installDefault = s.value("Default");
        }
    }
    std::vector<ListedProfile> out;
    size_t defaultAt = std::string::npos;
    for (const Section& s : sections) {
        const std::string path = s.value("Path");
        if (profileNumber(s.name) < 0 || path.empty()) {
            continue;
        }
        const bool relative = s.value("IsRelative") != "0";
        const ListedProfile profile{lastName(path), relative ? joinPath(root, path) : path,
                                    s.value("Name")};
        const bool isDefault =
            installDefault.empty() ? s.value("Default") == "1" : path == installDefault;
        if (isDefault && defaultAt == std::string::npos) {
            defaultAt = out.size();
        }
        out.push_back(profile);
    }
    if (defaultAt != std::string::npos && defaultAt > 0) {
        std::rotate(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(defaultAt),
                    out.begin() + static_cast<std::ptrdiff_t>(defaultAt) + 1);
    }
    return out;
}

std::set<std::string> installationSections(std::string_view text) {
    std::set<std::string> names;
    for (Section& s : parse(text)) {
        if (startsWithIgnoreCase(s.name, "Install")) {
            names.insert(std::move(s.name));
        }
    }
    return names;
}

std::string movedProfilesIni(std::string_view text,
                             const std::function<std::string(std::string_view path)>& relocate,
                             bool unlock) {
    // The new path of each profile section, in the order of the file.
    std::vector<std::string> moved;
    for (const Section& s : parse(text)) {
        if (profileNumber(s.name) >= 0) {
            const std::string path = s.value("Path");
            moved.push_back(s.value("IsRelative") == "0" && !path.empty() ? relocate(path)
                                                                          : std::string());
        }
    }
    std::string out;
    out.reserve(text.size());
    std::string section;
    int profile = -1;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end + 1;
        const std::string_view whole = text.substr(start, end - start);
        start = end;
        const std::string_view line = trimmed(whole);
        const std::string_view eol = whole.substr(whole.find_last_not_of("\r\n") + 1);
        if (!line.empty() && line.front() == '[' && line.back() == ']') {
            section = std::string(line.substr(1, line.size() - 2));
            profile += profileNumber(section) >= 0 ? 1 : 0;
        }
        const size_t eq = line.find('=');
        const std::string_view key =
            eq == std::string_view::npos ? "" : trimmed(line.substr(0, eq));
        const std::string_view value =
            eq == std::string_view::npos ? "" : trimmed(line.substr(eq + 1));
        if (profileNumber(section) >= 0 && profile >= 0 &&
            static_cast<size_t>(profile) < moved.size() && !moved[profile].empty()) {
            if (equalsIgnoreCase(key, "IsRelative")) {
                out += std::string(key) + "=1" + std::string(eol);
                continue;
            }
            if (equalsIgnoreCase(key, "Path")) {
                out += std::string(key) + "=" + moved[profile] + std::string(eol);
                continue;
            }
        }
        if (unlock && startsWithIgnoreCase(section, "Install") && equalsIgnoreCase(key, "Locked") &&
            value == "1") {
            continue;
        }
        out += whole;
    }
    return out;
}

namespace {

std::string withSection(std::string_view profilesIni, std::string_view name,
                        std::string_view isRelative, std::string_view path) {
    int highest = -1;
    for (const Section& s : parse(profilesIni)) {
        highest = std::max(highest, profileNumber(s.name));
    }
    const std::string eol = profilesIni.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    std::string out(profilesIni);
    if (!out.empty() && out.back() != '\n') {
        out += eol;
    }
    if (!out.empty() && !out.ends_with(eol + eol)) {
        out += eol; // a blank line between sections, as Firefox writes them
    }
    out += "[Profile" + std::to_string(highest + 1) + "]" + eol;
    out += "Name=" + std::string(name) + eol;
    out += "IsRelative=" + std::string(isRelative) + eol;
    out += "Path=" + std::string(path) + eol;
    return out;
}

} // namespace

std::string withProfileAdded(std::string_view profilesIni, std::string_view folder) {
    return withSection(profilesIni, lastName(folder), "0", withoutTrailingSeparators(folder));
}

std::string withRelativeProfileAdded(std::string_view profilesIni, std::string_view name,
                                     std::string_view relativePath) {
    if (trimmed(profilesIni).empty()) {
        return "[General]\nStartWithLastProfile=1\nVersion=2\n\n[Profile0]\nName=" +
               std::string(name) + "\nIsRelative=1\nPath=" + std::string(relativePath) +
               "\nDefault=1\n\n";
    }
    return withSection(profilesIni, name, "1", relativePath);
}

} // namespace vellarion

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

std::string withProfileAdded(std::string_view profilesIni, std::string_view folder) {
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
    out += "Name=" + lastName(folder) + eol;
    out += "IsRelative=0" + eol;
    out += "Path=" + std::string(withoutTrailingSeparators(folder)) + eol;
    return out;
}

} // namespace vellarion

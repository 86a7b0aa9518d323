#include "core/schedule/KeptVersions.h"

#include "core/archive/JvZlibMultiple.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/ProgramPath.h"
#include "core/services/SystemServices.h"
#include "core/services/Text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <set>

namespace vellarion {

namespace {

constexpr std::string_view kExtension = ".dat";
// "2026-12-09 221700"
constexpr size_t kStampLength = 17;

bool isStamp(std::string_view text) {
    if (text.size() != kStampLength) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        const char expected = i == 4 || i == 7 ? '-' : i == 10 ? ' ' : '\0';
        if (expected != '\0' ? text[i] != expected : !digit) {
            return false;
        }
    }
    return true;
}

std::tm localTime(std::time_t t) {
    std::tm fields{};
#ifdef _WIN32
    localtime_s(&fields, &t);
#else
    localtime_r(&t, &fields);
#endif
    return fields;
}

// The moment a stamp names, read back as local time.
std::chrono::system_clock::time_point momentOf(std::string_view stamp) {
    std::tm fields{};
    const auto number = [&](size_t at, size_t length) {
        return std::stoi(std::string(stamp.substr(at, length)));
    };
    fields.tm_year = number(0, 4) - 1900;
    fields.tm_mon = number(5, 2) - 1;
    fields.tm_mday = number(8, 2);
    fields.tm_hour = number(11, 2);
    fields.tm_min = number(13, 2);
    fields.tm_sec = number(15, 2);
    fields.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&fields));
}

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

} // namespace

Clock systemClock() {
    return [] { return std::chrono::system_clock::now(); };
}

std::string stampOf(std::chrono::system_clock::time_point when) {
    const std::tm t = localTime(std::chrono::system_clock::to_time_t(when));
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

std::string stampedName(std::string_view fixedName, std::string_view stamp) {
    if (stamp.empty()) {
        return std::string(fixedName);
    }
    std::string_view stem = fixedName;
    std::string_view extension;
    if (stem.size() >= kExtension.size() &&
        equalsIgnoreCase(stem.substr(stem.size() - kExtension.size()), kExtension)) {
        extension = stem.substr(stem.size() - kExtension.size());
        stem.remove_suffix(kExtension.size());
    }
    return std::string(stem) + " " + std::string(stamp) + std::string(extension);
}

std::optional<StampedArchive> splitStamped(std::string_view file) {
    const size_t tail = 1 + kStampLength + kExtension.size();
    if (file.size() <= tail ||
        !equalsIgnoreCase(file.substr(file.size() - kExtension.size()), kExtension) ||
        file[file.size() - tail] != ' ') {
        return std::nullopt;
    }
    const std::string_view stamp = file.substr(file.size() - tail + 1, kStampLength);
    if (!isStamp(stamp)) {
        return std::nullopt;
    }
    return StampedArchive{std::string(file.substr(0, file.size() - tail)) +
                              std::string(file.substr(file.size() - kExtension.size())),
                          std::string(stamp)};
}

std::optional<std::string> stampIn(std::string_view file, std::string_view fixedName) {
    const std::optional<StampedArchive> split = splitStamped(file);
    if (!split || split->fixedName != fixedName) {
        return std::nullopt;
    }
    return split->stamp;
}

std::vector<std::string> stampsOf(const std::vector<std::string>& files,
                                  std::string_view fixedName) {
    std::vector<std::string> stamps;
    for (const std::string& file : files) {
        if (std::optional<std::string> stamp = stampIn(file, fixedName)) {
            stamps.push_back(std::move(*stamp));
        }
    }
    std::sort(stamps.begin(), stamps.end(), std::greater<>());
    return stamps;
}

std::vector<std::string> keptVersions(const SystemServices& services, std::string_view location,
                                      std::string_view fixedName) {
    return stampsOf(services.listFiles(location, kExtension), fixedName);
}

std::string freeStamp(const SystemServices& services, std::string_view location,
                      const std::vector<std::string>& fixedNames, const Clock& clock) {
    auto when = clock();
    // Never older than a version already there (a clock put back, the hour
    // an autumn night repeats): the new version must be the newest.
    for (const std::string& name : fixedNames) {
        const std::vector<std::string> stamps = keptVersions(services, location, name);
        if (!stamps.empty() && stampOf(when) <= stamps.front()) {
            when = momentOf(stamps.front()) + std::chrono::seconds(1);
        }
    }
    for (;;) {
        const std::string stamp = stampOf(when);
        const bool taken = std::any_of(fixedNames.begin(), fixedNames.end(), [&](const auto& n) {
            return services.fileExists(joinPath(location, stampedName(n, stamp)));
        });
        if (!taken) {
            return stamp;
        }
        when += std::chrono::seconds(1);
    }
}

void orderNewestFirst(std::vector<std::string>& files) {
    const auto key = [](const std::string& file) {
        const std::optional<StampedArchive> split = splitStamped(file);
        return std::pair{lowerAscii(split ? split->fixedName : file),
                         split ? split->stamp : std::string()};
    };
    std::stable_sort(files.begin(), files.end(), [&](const std::string& a, const std::string& b) {
        const auto [baseA, stampA] = key(a);
        const auto [baseB, stampB] = key(b);
        if (baseA != baseB) {
            return baseA < baseB;
        }
        // The plain name's stamp is "": after every stamped version.
        return stampA > stampB;
    });
}

Retention keepNewest(SystemServices& services, std::string_view location,
                     const std::vector<std::string>& fixedNames, int keep,
                     const std::function<bool(const std::string& path)>& sound) {
    const std::vector<std::string> files = services.listFiles(location, kExtension);
    std::set<std::string, std::greater<>> versions;
    for (const std::string& name : fixedNames) {
        for (std::string& stamp : stampsOf(files, name)) {
            versions.insert(std::move(stamp));
        }
    }
    const auto archivesOf = [&](const std::string& stamp) {
        std::vector<std::string> paths;
        for (const std::string& name : fixedNames) {
            const std::string path = joinPath(location, stampedName(name, stamp));
            if (services.fileExists(path)) {
                paths.push_back(path);
            }
        }
        return paths;
    };
    const auto versionSound = [&](const std::string& stamp) {
        const std::vector<std::string> paths = archivesOf(stamp);
        return std::all_of(paths.begin(), paths.end(), [&](const auto& p) { return sound(p); });
    };
    Retention result;
    bool newerSound = false;
    int position = 0;
    for (const std::string& stamp : versions) {
        if (position++ < std::max(keep, 1)) {
            newerSound = newerSound || versionSound(stamp);
            continue;
        }
        if (!newerSound) {
            // The last good version stays until a newer one reads whole.
            for (std::string& path : archivesOf(stamp)) {
                result.keptBeyondCount.push_back(std::move(path));
            }
            newerSound = versionSound(stamp);
            continue;
        }
        for (std::string& path : archivesOf(stamp)) {
            if (services.deleteFile(path)) {
                result.deleted.push_back(std::move(path));
            } else {
                result.notDeleted.push_back(std::move(path));
            }
        }
    }
    return result;
}

std::string archiveDamage(const PathMapper& paths, const std::string& path,
                          const ArchivePassword& password, std::size_t* records) {
    try {
        TJvZlibMultiple codec(paths);
        codec.OnPasswordNeeded = password;
        const ArchiveCheck check = codec.VerifyFile(path);
        if (records != nullptr) {
            *records = check.records;
        }
        if (!check.brokenOff.empty()) {
            return "breaks off after " + std::to_string(check.records) + " records (" +
                   check.brokenOff + ")";
        }
        if (!check.damaged.empty()) {
            return std::to_string(check.damaged.size()) + " of " + std::to_string(check.records) +
                   " records damaged (" + check.damaged.front().name + ": " +
                   check.damaged.front().reason + ")";
        }
        return {};
    } catch (const Error& e) {
        return e.what();
    }
}

NewVersion checkAndKeep(SystemServices& services, const std::vector<std::string>& archives,
                        int keep, const ArchivePassword& password) {
    NewVersion result;
    std::vector<std::string> names;
    std::string location;
    for (const std::string& archive : archives) {
        if (std::string damage = archiveDamage(services.paths(), archive, password);
            !damage.empty()) {
            result.damage = services.paths().toDisplay(archive) + ": " + damage;
            return result;
        }
        const std::optional<StampedArchive> split = splitStamped(lastName(archive));
        if (split) {
            names.push_back(split->fixedName);
            location = parentPath(archive);
        }
    }
    if (names.empty()) {
        return result; // no version of ours: nothing to count
    }
    result.retention = keepNewest(services, location, names, keep, [&](const std::string& path) {
        return archiveDamage(services.paths(), path, password).empty();
    });
    return result;
}

} // namespace vellarion

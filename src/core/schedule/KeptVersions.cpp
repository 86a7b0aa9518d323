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
#include <filesystem>
#include <set>

namespace vellarion {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kExtension = ".dat";
// "2026-12-09 221700"
constexpr size_t kStampLength = 17;
// How far ahead of the clock runs in quick succession may have stamped.
constexpr std::chrono::seconds kStampsAhead{60};

// The fields of a stamp whose characters have its form, "2026-12-09 221700".
struct StampFields {
    int year, month, day, hour, minute, second;
};

std::optional<StampFields> stampFields(std::string_view text) {
    if (text.size() != kStampLength) {
        return std::nullopt;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        const char expected = i == 4 || i == 7 ? '-' : i == 10 ? ' ' : '\0';
        if (expected != '\0' ? text[i] != expected : !digit) {
            return std::nullopt;
        }
    }
    const auto number = [&](size_t at, size_t length) {
        int value = 0;
        for (char c : text.substr(at, length)) {
            value = value * 10 + (c - '0');
        }
        return value;
    };
    return StampFields{number(0, 4),  number(5, 2),  number(8, 2),
                       number(11, 2), number(13, 2), number(15, 2)};
}

bool leapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : days[month - 1];
}

// A stamp of a moment that can be: a real date and time of day, not before
// the clocks of today's systems begin.
bool isStamp(std::string_view text) {
    const std::optional<StampFields> f = stampFields(text);
    return f && f->year >= 1970 && f->month >= 1 && f->month <= 12 && f->day >= 1 &&
           f->day <= daysInMonth(f->year, f->month) && f->hour <= 23 && f->minute <= 59 &&
           f->second <= 59;
}

std::string formatStamp(const StampFields& f) {
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d%02d%02d", f.year, f.month, f.day, f.hour,
                  f.minute, f.second);
    return text;
}

// The stamp a second after `stamp` (a valid one), counted on the stamp's own
// fields: a name, not a moment, so no clock or time zone takes part.
std::string nextStamp(std::string_view stamp) {
    StampFields f = *stampFields(stamp);
    if (++f.second == 60) {
        f.second = 0;
        if (++f.minute == 60) {
            f.minute = 0;
            if (++f.hour == 24) {
                f.hour = 0;
                if (++f.day > daysInMonth(f.year, f.month)) {
                    f.day = 1;
                    if (++f.month == 13) {
                        f.month = 1;
                        ++f.year;
                    }
                }
            }
        }
    }
    return formatStamp(f);
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

// Whether anything at all has the name: a file, a folder, a link (even one
// that leads nowhere).
bool nameTaken(const PathMapper& paths, const std::string& path) {
    const std::optional<fs::path> native = paths.toNative(path);
    std::error_code ec;
    return !native || fs::symlink_status(*native, ec).type() != fs::file_type::not_found;
}

// A version is a plain file of ours: never a link, whatever it leads to.
bool isPlainFile(const PathMapper& paths, const std::string& path) {
    const std::optional<fs::path> native = paths.toNative(path);
    std::error_code ec;
    return native && fs::symlink_status(*native, ec).type() == fs::file_type::regular;
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
    return formatStamp({t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec});
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
    std::vector<std::string> files = services.listFiles(location, kExtension);
    std::erase_if(files, [&](const std::string& file) {
        return !isPlainFile(services.paths(), joinPath(location, file));
    });
    return stampsOf(files, fixedName);
}

std::string freeStampFrom(const SystemServices& services, std::string_view location,
                          const std::vector<std::string>& fixedNames, std::string stamp) {
    // Two backups in one second: the later takes the next second.
    for (;;) {
        const bool taken = std::any_of(fixedNames.begin(), fixedNames.end(), [&](const auto& n) {
            return nameTaken(services.paths(), joinPath(location, stampedName(n, stamp)));
        });
        if (!taken) {
            return stamp;
        }
        stamp = nextStamp(stamp);
    }
}

std::string freeStamp(const SystemServices& services, std::string_view location,
                      const std::vector<std::string>& fixedNames, const Clock& clock) {
    const auto now = clock();
    std::string stamp = stampOf(now);
    // Runs quicker than a second each stamp a second apart and so run a
    // little ahead of the clock: the new one follows them, so that it is
    // the newest still. A stamp further ahead is a clock that was wrong,
    // not followed.
    const std::string ahead = stampOf(now + kStampsAhead);
    for (const std::string& name : fixedNames) {
        for (const std::string& version : keptVersions(services, location, name)) {
            if (version <= ahead) {
                if (version >= stamp) {
                    stamp = nextStamp(version);
                }
                break;
            }
        }
    }
    return freeStampFrom(services, location, fixedNames, stamp);
}

std::string restamped(std::string_view path, std::string_view stamp) {
    const std::optional<StampedArchive> split = splitStamped(lastName(path));
    if (!split) {
        return std::string(path);
    }
    return joinPath(parentPath(path), stampedName(split->fixedName, stamp));
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
                     const std::function<bool(const std::string& path)>& sound,
                     std::string_view newStamp) {
    std::set<std::string, std::greater<>> versions;
    for (const std::string& name : fixedNames) {
        for (std::string& stamp : keptVersions(services, location, name)) {
            versions.insert(std::move(stamp));
        }
    }
    const auto archivesOf = [&](const std::string& stamp) {
        std::vector<std::string> paths;
        for (const std::string& name : fixedNames) {
            const std::string path = joinPath(location, stampedName(name, stamp));
            if (isPlainFile(services.paths(), path)) {
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
    // The version just written comes first, whatever other stamps say: the
    // run that made it never deletes it.
    std::vector<std::string> order;
    if (!newStamp.empty() && versions.erase(std::string(newStamp)) > 0) {
        order.emplace_back(newStamp);
    }
    for (const std::string& stamp : versions) {
        if (!newStamp.empty() && stamp > newStamp) {
            for (std::string& path : archivesOf(stamp)) {
                result.future.push_back(std::move(path));
            }
        }
        order.push_back(stamp);
    }
    bool newerSound = false;
    int position = 0;
    for (const std::string& stamp : order) {
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
    std::string stamp;
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
            stamp = split->stamp;
        }
    }
    if (names.empty()) {
        return result; // no version of ours: nothing to count
    }
    result.retention = keepNewest(
        services, location, names, keep,
        [&](const std::string& path) {
            return archiveDamage(services.paths(), path, password).empty();
        },
        stamp);
    return result;
}

} // namespace vellarion

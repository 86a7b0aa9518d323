#pragma once

#include "core/crypto/Secret.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

class PathMapper;
class SystemServices;

// Kept versions of a backup: each archive written under its usual name plus
// a sortable time stamp ("default 2026-12-09 221700.dat"), the newest few
// kept. Only plain files with names of exactly that form, stamped with a
// moment that can be, are ever counted or deleted.

// What gives the time of a new version; tests hand in their own.
using Clock = std::function<std::chrono::system_clock::time_point()>;
Clock systemClock();

// The stamp of a moment in local time: "2026-12-09 221700".
std::string stampOf(std::chrono::system_clock::time_point when);

// "default.dat" with that stamp: "default 2026-12-09 221700.dat". An empty
// stamp leaves the name as it is.
std::string stampedName(std::string_view fixedName, std::string_view stamp);

// The stamp of `file` when it is `fixedName` stamped (the letters of the
// name as written), none otherwise.
std::optional<std::string> stampIn(std::string_view file, std::string_view fixedName);

// A stamped name taken apart: the fixed name it stamps and the stamp.
struct StampedArchive {
    std::string fixedName;
    std::string stamp;
};
std::optional<StampedArchive> splitStamped(std::string_view file);

// The stamps of `fixedName` among the files, newest first.
std::vector<std::string> stampsOf(const std::vector<std::string>& files,
                                  std::string_view fixedName);

// The stamps of the archives of `fixedName` in `location`, newest first.
std::vector<std::string> keptVersions(const SystemServices& services, std::string_view location,
                                      std::string_view fixedName);

// The stamp for a new version of the archives named `fixedNames` in
// `location`: the clock's, moved on a second at a time while anything has
// one of those names, so that two backups in one second never meet, and
// after the versions that runs in quick succession stamped a few seconds
// ahead. A version stamped further in the future (a clock that was wrong)
// is not followed: the new one keeps its true time.
std::string freeStamp(const SystemServices& services, std::string_view location,
                      const std::vector<std::string>& fixedNames, const Clock& clock);
// The same from `stamp` on: the next free stamp after a name was taken.
std::string freeStampFrom(const SystemServices& services, std::string_view location,
                          const std::vector<std::string>& fixedNames, std::string stamp);

// The path of a stamped archive with another stamp; any other path as it is.
std::string restamped(std::string_view path, std::string_view stamp);

// An archive list as the restore windows show it: by name, each name's
// stamped versions newest first and then the archive of the plain name.
void orderNewestFirst(std::vector<std::string>& files);

// What retention did: the archives deleted, and those it kept beyond the
// count because no newer version passed the check.
struct Retention {
    std::vector<std::string> deleted; // program paths
    std::vector<std::string> keptBeyondCount;
    std::vector<std::string> notDeleted; // the system refused
    std::vector<std::string> future;     // stamped after the new version: a clock was wrong
};

// Keeps the newest `keep` versions of the archives `fixedNames` (a browser's
// archive and its sisters, stamped alike) in `location` and deletes older
// ones. A version is never deleted while no newer version passes `sound`
// (every archive of it read whole), nor is the newest. `sound` is asked
// newest first and only as far as needed. Versions are plain files whose
// names carry a stamp of a real moment: a link, a folder, a name with an
// impossible date is neither counted nor deleted. `newStamp`, the version
// a backup just wrote, counts as the newest and is never deleted; versions
// stamped after it are named in `future`.
Retention keepNewest(SystemServices& services, std::string_view location,
                     const std::vector<std::string>& fixedNames, int keep,
                     const std::function<bool(const std::string& path)>& sound,
                     std::string_view newStamp = {});

// The password of an encrypted archive, asked by its path; none when there
// is none to give.
using ArchivePassword = std::function<std::optional<Secret>(const std::string& path)>;

// What is wrong with the archive (read whole, every record inflated and
// checked): "" when it is sound, else why not in one line. `records` gets
// the number of records read.
std::string archiveDamage(const PathMapper& paths, const std::string& path,
                          const ArchivePassword& password, std::size_t* records = nullptr);

// What became of a backup's new version.
struct NewVersion {
    std::string damage; // "" when every new archive read whole; else the first damage
    Retention retention;
};

// After a backup: its new archives (a browser's archive and its sisters,
// stamped alike) read whole, and only when they all are, the newest `keep`
// versions of their names kept (keepNewest). A damaged new version touches
// no older one.
NewVersion checkAndKeep(SystemServices& services, const std::vector<std::string>& archives,
                        int keep, const ArchivePassword& password);

} // namespace vellarion

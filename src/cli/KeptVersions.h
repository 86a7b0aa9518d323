#pragma once

#include <functional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace vellarion {
class SystemServices;
class WizardJob;
struct Retention;
} // namespace vellarion

namespace vellarion::cli {

class Console;
class PasswordSource;

// Adds --keep N to a backup command: the archive gets a time stamp in its
// name and only the newest N versions stay.
void addKeepOption(CLI::App& command, int& keep);

// With --keep, the job writes a stamped version.
void keepVersions(WizardJob& job, int keep);

// After a backup with --keep: its new archives read whole, then the older
// versions beyond N deleted, each named on stderr. A new version that does
// not read whole is the command's error, every older one kept.
void checkAndKeep(Console& console, SystemServices& services, PasswordSource& passwords,
                  const std::vector<std::string>& archives, int keep);

// What retention did, on stderr: the versions deleted, and warnings for
// those kept beyond the count, stamped in the future or not deletable, each
// named by `shown`.
void tellRetention(Console& console, const Retention& retention,
                   const std::function<std::string(const std::string&)>& shown);

// What --archive means on a restore: "latest".
inline constexpr const char* kLatest = "latest";

} // namespace vellarion::cli

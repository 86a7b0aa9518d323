#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vellarion {

// The names of the program's own work (a restore's journal and the files it
// keeps aside, an unpack or staging folder, a file being written) carry a
// token only this user's runs of the program can make: the process id, a
// number unique to the run, and a tag computed from a secret kept in a file
// only the user can read. A leftover is acted on (rolled back, removed) only
// when its token is right: never a file that merely has the right name,
// whoever put it there.

// What the names of the program's own work start with. No archive ever
// puts a file or folder of such a name anywhere: it would pass for the
// program's own work.
inline constexpr std::string_view kReservedPrefix = ".vellarion-";

// A name (one component) that starts with kReservedPrefix, in any case.
bool isReservedName(std::string_view name);
// A stored or relative path ("a\b/c") one of whose components is reserved.
bool holdsReservedName(std::string_view path);

// A new token, "1234-5f3a9c-0-1a2b3c4d5e6f7a8b", of this process or of the
// process `pid` (what a run that has ended would have made).
std::string newRunToken();
std::string newRunToken(unsigned long pid);

// A token found at the start of a name: the process that made it, and how
// many characters it takes.
struct RunToken {
    unsigned long pid = 0;
    std::size_t length = 0;
};

// The token `text` starts with, when a run of this user made it; nothing
// for text of any other form, or with a tag that is not right.
std::optional<RunToken> ownRunToken(std::string_view text);

// Where the secret lives: the user's configuration folder
// ($XDG_CONFIG_HOME or ~/.config, %LOCALAPPDATA% on Windows), "vellarion",
// "run-key". Made (0600, in a 0700 folder) by the first run that needs it;
// where it can be neither read nor made, the run makes its own secret, and
// leftovers of other runs are left alone.
std::filesystem::path runKeyFile();

} // namespace vellarion

#include "cli/CoreTexts.h"

#include "cli/SystemReason.h"
#include "core/text/Catalogue.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace vellarion::cli {

namespace {

// The program's name before each of them keys the core's English messages
// apart in the catalogue: the windows show those messages in English, as
// the core says them, and never find them there. What follows the name is
// the core's text, its values as %1 … %9.
constexpr std::string_view kKey = "vellarion-cli: ";
constexpr std::string_view kCoreTexts[] = {
    // The file errors of the services, which the codec and the jobs throw.
    E_("vellarion-cli: Cannot open file \"%1\". %2"),
    E_("vellarion-cli: Cannot create file \"%1\". %2"),
    E_("vellarion-cli: Cannot create folder \"%1\". %2"),
    E_("vellarion-cli: Cannot read file \"%1\". %2"),
    E_("vellarion-cli: Cannot write file \"%1\". %2"),
    E_("vellarion-cli: System Error.  Code: %1.\n%2"),
    E_("vellarion-cli: A call to an OS function failed"),
    // The archive codec's, and the encrypted container's.
    E_("vellarion-cli: Stream read error"),
    E_("vellarion-cli: zlib returned: data error"),
    E_("vellarion-cli: zlib returned: Stream error"),
    E_("vellarion-cli: zlib returned: memory error"),
    E_("vellarion-cli: zlib returned: buffer error"),
    E_("vellarion-cli: zlib returned: version error"),
    E_("vellarion-cli: zlib returned: ERRNO"),
    E_("vellarion-cli: zLib returned: unknown error (%1)"),
    E_("vellarion-cli: Refusing to unpack \"%1\": the name points outside the target directory"),
    E_("vellarion-cli: Refusing to unpack \"%1\": \"%2\" is a folder"),
    E_("vellarion-cli: Refusing to unpack \"%1\": \"%2\" is not a folder"),
    E_("vellarion-cli: Cannot store file \"%1\": its compressed data exceeds 4294967295 bytes"),
    E_("vellarion-cli: a key record, which belongs only in an encrypted archive"),
    E_("vellarion-cli: a name this program keeps for its own work: never unpacked"),
    E_("vellarion-cli: \"%1\": a key record, which belongs only in an encrypted archive"),
    E_("vellarion-cli: \"%1\": a name this program keeps for its own work: never unpacked"),
    E_("vellarion-cli: Wrong password, or the archive is damaged"),
    E_("vellarion-cli: \"%1\" is encrypted; no password was given for it"),
    // rclone's failures, explained (core/remote).
    E_("vellarion-cli: rclone knows no remote %1: make it with \"rclone config\" (\"rclone "
       "listremotes\" names those it knows)"),
    E_("vellarion-cli: rclone's configuration is encrypted: give its password in the variable "
       "RCLONE_CONFIG_PASS (or a command that prints it in RCLONE_PASSWORD_COMMAND)"),
    E_("vellarion-cli: the remote %1 refused the login (%2): check its user and password (or "
       "token) with \"rclone config\""),
    E_("vellarion-cli: the remote %1 refused access (%2): check that its user may read and write "
       "that folder (\"rclone config\" shows the user)"),
    E_("vellarion-cli: the remote %1 has no room left (%2): make room there, or keep fewer "
       "versions (--keep)"),
    E_("vellarion-cli: cannot reach the remote %1 (%2): check the network and that the server is "
       "up, then try again"),
    E_("vellarion-cli: the remote %1 has no such file or folder (%2): check the path after the "
       "remote's name"),
    E_("vellarion-cli: rclone failed on the remote %1: %2 (exit code %3)"),
    E_("vellarion-cli: rclone ended with exit code %1 on the remote %2 without saying why"),
    E_("vellarion-cli: rclone is not installed: it carries the backups off this machine. Put "
       "rclone.exe (rclone.org/downloads, or: winget install Rclone.Rclone) on the PATH or beside "
       "this program, make the remote with \"rclone config\", then try again"),
    E_("vellarion-cli: rclone is not installed (or not on the PATH): it carries the backups off "
       "this machine. Install it (Debian, Ubuntu: sudo apt install rclone), make the remote with "
       "\"rclone config\", then try again"),
    E_("vellarion-cli: rclone (%1) could not be started: %2"),
    E_("vellarion-cli: rclone was ended by a signal on the remote \"%1\""),
    E_("vellarion-cli: rclone's listing could not be read"),
    E_("vellarion-cli: \"%1\" names no remote: write rclone:REMOTE:PATH"),
    E_("vellarion-cli: \"%1\": a remote made on the command line would carry its settings, a "
       "password too, where others may read them; make it with \"rclone config\" and name it: "
       "rclone:REMOTE:PATH"),
    E_("vellarion-cli: \"%1\" names no remote folder: write rclone:REMOTE:PATH "
       "(rclone:nas:backups), REMOTE one that \"rclone listremotes\" names"),
    E_("vellarion-cli: \"%1\" is no name of an rclone remote (letters, digits and _ - . + @ or "
       "spaces within)"),
    E_("vellarion-cli: the remote folder of \"%1\" holds a control character"),
    // A remote folder's.
    E_("vellarion-cli: The folder for temporary files is unknown (%1)"),
    E_("vellarion-cli: Cannot create folder \"%1\" (%2)"),
    E_("vellarion-cli: Cannot create \"%1\" (%2)"),
    E_("vellarion-cli: no archive \"%1\" in %2"),
    E_("vellarion-cli: the archive \"%1\" did not arrive whole from %2: try again"),
    E_("vellarion-cli: the copy of \"%1\" on %2 is not whole; nothing there was replaced: try "
       "again"),
    E_("vellarion-cli: the copy of \"%1\" on %2 differs from the archive (its %3 hash); nothing "
       "there was replaced: try again"),
    E_("vellarion-cli: the new archive does not read whole: %1: %2; nothing was sent to %3"),
    E_("vellarion-cli: \"%1\" names nothing on this machine"),
    // The schedules' files (core/schedule), with the system's reason in them.
    E_("vellarion-cli: Cannot write \"%1\" (%2)"),
    E_("vellarion-cli: Cannot delete \"%1\" (%2)"),
};

// A core text's pattern: its key and its English split at its placeholders.
struct Pattern {
    std::string_view key;
    TextPattern text;
};

const std::vector<Pattern>& patterns() {
    static const std::vector<Pattern> all = [] {
        std::vector<Pattern> list;
        for (const std::string_view key : kCoreTexts) {
            list.push_back({key, TextPattern(key.substr(kKey.size()))});
        }
        // The most specific first.
        std::stable_sort(list.begin(), list.end(), [](const Pattern& a, const Pattern& b) {
            return a.text.literalLength > b.text.literalLength;
        });
        return list;
    }();
    return all;
}

std::string shown(std::string_view text, int depth) {
    for (const Pattern& pattern : patterns()) {
        if (!pattern.text.match(text)) {
            continue;
        }
        std::string translation = translated(pattern.key);
        if (translation.starts_with(kKey)) {
            translation.erase(0, kKey.size());
        }
        // Each value a text of the core's in turn (a reason, a damage).
        return *pattern.text.remade(text, translation, [depth](std::string_view value) {
            return depth < 2 ? shown(value, depth + 1) : std::string(value);
        });
    }
    if (std::optional<std::string> reason = systemReasonOfWords(text)) {
        return *reason;
    }
    return translated(text);
}

} // namespace

std::string userText(std::string_view text) {
    if (language() == Language::English) {
        return translated(text);
    }
    return shown(text, 0);
}

} // namespace vellarion::cli

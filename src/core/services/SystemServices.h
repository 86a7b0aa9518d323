#pragma once

#include "core/services/Environment.h"
#include "core/services/PathMapper.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

// Where the browsers' data is: the Windows system itself, a Windows prefix
// (Wine's, or the demo sandbox), a mounted Windows disk, or the browsers of
// this (non-Windows) machine itself.
struct EnvironmentInfo {
    enum class Kind { Windows, Prefix, Demo, WindowsDisk, Native };
    Kind kind = Kind::Windows;
    std::string location; // the prefix, the disk's folder, the home folder

    // "this machine's own browsers (home /home/bob)", "the Windows prefix
    // /home/bob/.wine", ...: what the command line and the title bar say.
    std::string describe() const;
};

// Everything that asks the operating system something: the user environment,
// files and folders, the current user's registry. Jobs and windows get one
// instance through their constructors; tests build as many as they like.
//
// Paths are program paths: Windows-form UTF-8 text ("C:\Users\bob\...").
// Each backend turns them into real paths through paths() just before use.
// Expected outcomes (a missing file, a key that does not exist) are return
// values; only the failures the user must see are thrown (vellarion::Error).
class SystemServices {
public:
    virtual ~SystemServices() = default;

    // --- The user environment ---

    // The current user's login name, or "" when the system gives none.
    virtual std::string GetLoginName() const = 0;
    // The drive of the Windows directory ("C:", or "\\server\share" for a
    // network path). Throws SystemError when the system cannot tell.
    virtual std::string GetSystemDrive() const = 0;
    // Shell folder `folder` (kRoamingAppData, kLocalAppData) without a
    // trailing separator, or "" when it cannot be resolved.
    virtual std::string GetSpecialFolderPath(int folder) const = 0;
    // The Windows major version as a program without a compatibility manifest
    // sees it: 5 on 2000 and XP, 6 on Vista and every later Windows.
    virtual int windowsMajorVersion() const = 0;

    // Whether Windows itself is a 64-bit Windows, whatever this program's
    // own build: a 64-bit process, or a 32-bit one under WOW64. Here, for a
    // Windows prefix or disk: it has the 64-bit layout ("Program Files (x86)"
    // or "Windows\SysWOW64" on the system drive).
    virtual bool windows64Bit() const;

    // uzer, drv, sfp, loc, windoze, asked in that order.
    UserEnvironment gatherEnvironment() const;

    // What these services work on.
    virtual EnvironmentInfo environmentInfo() const { return {}; }
    bool isNative() const { return environmentInfo().kind == EnvironmentInfo::Kind::Native; }
    // In the native environment the folders the browsers' native data roots
    // are named from: {home} ($HOME) and {config} ($XDG_CONFIG_HOME, else
    // ~/.config). Empty elsewhere, and when the home is not known.
    virtual TemplateVars nativeFolders() const { return {}; }

    // The marker-file search: "" for an empty name; the name itself when a
    // file of that name exists in the working directory; else the first
    // entry of the ";"-separated list (empty entries skipped) that holds a
    // file (not a folder) of that name, as entry + "\" + name (no "\" added
    // after a trailing "\" or ":"); else "".
    std::string FindFileInDirList(std::string_view name, std::string_view dirList) const;

    // --- Files and folders ---

    // The path seam: where program paths live on this machine. The archive
    // codec takes it in its constructor.
    virtual const PathMapper& paths() const = 0;

    // A file (not a folder) / a folder exists at the path.
    virtual bool fileExists(std::string_view path) const = 0;
    virtual bool directoryExists(std::string_view path) const = 0;
    // Creates one folder whose parent exists. False when it exists already or
    // cannot be created.
    virtual bool createDirectory(std::string_view path) = 0;
    // Creates a folder with every missing parent; true when it exists after.
    virtual bool createDirectories(std::string_view path) = 0;
    // Copies one file, replacing the destination; its folder must exist.
    // False (and nothing written) when the source is missing or the copy fails.
    virtual bool copyFile(std::string_view from, std::string_view to) = 0;
    // Deletes one file; false when it was not there or cannot be deleted.
    virtual bool deleteFile(std::string_view path) = 0;

    // Copies the folder `fromDir` with everything in it into the existing
    // folder `toDir`, under its own name; an existing folder of that name is
    // merged into, files of the same name replaced, others kept. When `toDir`
    // does not exist, it is created and receives the content of `fromDir`.
    // True on success; false when the source is missing or a copy fails.
    virtual bool CopyDir(std::string_view fromDir, std::string_view toDir) = 0;
    // Deletes a folder tree for good (never to a recycle bin: staging folders
    // hold copies of passwords and cookies). Refuses an empty path and a drive
    // or filesystem root; a long path is handled whole. True when the folder
    // existed and is gone.
    virtual bool DelTree(std::string_view dirName) = 0;
    // Appends to `list` the names of the folders directly inside `directory`,
    // leaving out hidden and system folders (on POSIX a hidden folder is a
    // dot-name), sorted by name without regard to case so that every
    // platform answers alike. A missing folder adds nothing.
    virtual void GetSubDirectories(std::string_view directory,
                                   std::vector<std::string>& list) const = 0;
    // The names of the plain, writable, visible files directly inside
    // `directory` whose names end with `suffix` (case ignored), sorted as
    // above: the archive list of a restore window ("*.dat").
    virtual std::vector<std::string> listFiles(std::string_view directory,
                                               std::string_view suffix) const = 0;

    // --- The current user's registry (keys relative to HKEY_CURRENT_USER) ---

    // Whether this machine has a registry of the current user at all: a
    // Windows drive mounted on its own (no prefix) has none.
    virtual bool hasRegistry() const { return true; }

    // What became of a key SaveKeyToFile was asked to save.
    enum class KeySave {
        Saved,     // the file holds the key with its whole subtree
        NoSuchKey, // the key does not exist: no file, nothing to tell
        NotSaved,  // the key exists but could not be saved: no file
    };

    // Saves the key with its whole subtree to the hive file `file`, replacing
    // an older file. An account without the backup privilege (a standard
    // account, a session that is not elevated) gets no hive from the system:
    // the key is then saved value by value in the registry's text format,
    // which LoadKeyFromFile reads on every system. Throws SystemError only
    // when the backup privilege cannot be adjusted.
    virtual KeySave SaveKeyToFile(std::string_view key, std::string_view file) = 0;
    // Replaces the key's values and subkeys with those of the hive file (or
    // of a key saved in the text format). A missing file, or a key that
    // cannot be created, does nothing and returns "". A file that the
    // registry rejects returns the system's text for the error (trailing
    // spaces, line breaks and periods removed): the caller shows it to the
    // user in a plain message box. Throws SystemError only when the restore
    // privilege cannot be adjusted.
    [[nodiscard]] virtual std::string LoadKeyFromFile(std::string_view key,
                                                      std::string_view file) = 0;

    // A small file whole (a browser's profile list); nothing when it cannot
    // be read or is larger than a mebibyte.
    std::optional<std::string> readSmallFile(std::string_view path) const;
    // Replaces a file's content in one step: written to a temporary file
    // beside it and renamed over it once complete, its permissions kept.
    // False (and the old file as it was) when that fails.
    bool replaceFileContent(std::string_view path, std::string_view content);

    // Whether a running program holds the lock file at the path (a browser
    // using its profile); see platform::isLockHeld. False for a path that
    // names nothing.
    bool isLockHeld(std::string_view path) const;

    // --- Time ---

    // Blocks the calling thread (the fixed pauses between registry saves).
    virtual void pause(std::chrono::milliseconds duration) = 0;
};

} // namespace vellarion

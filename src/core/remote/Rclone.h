#pragma once

#include "core/services/Error.h"
#include "core/services/ProgramPath.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

// Backups off the machine go through rclone, run as a child process, with
// the remotes the user configured for it (its own configuration file, found
// as rclone finds it; RCLONE_CONFIG and the other RCLONE_ variables of the
// environment reach it). No password ever is an argument of ours.

// A folder on one of rclone's remotes, as the user writes it:
// "rclone:REMOTE:PATH" ("rclone:nas:backups/firefox").
struct RemotePath {
    std::string remote; // "nas"
    std::string folder; // "backups/firefox", no slash at its end; "" for the remote's root

    // "rclone:nas:backups/firefox"
    std::string text() const;
    // What rclone is given for the folder, or a file in it: "nas:backups/firefox/default.dat".
    std::string target(std::string_view name = {}) const;
    // A file in it as the user reads it: "rclone:nas:backups/firefox/default.dat".
    std::string shown(std::string_view name) const;
};

// The remote folder the text names. A text that starts as a remote but
// names none properly (no remote, a name rclone would not take, a
// connection string that would carry its settings on the command line) is
// refused with an Error that says how to write it.
RemotePath parseRemotePath(std::string_view text);

// A file of a remote folder, as `rclone lsjson` tells of it.
struct RemoteFile {
    std::string name;
    std::uint64_t size = 0;
    // By rclone's names ("md5", "sha1", "quickxor"); a hash the remote
    // could not give is left out.
    std::map<std::string, std::string> hashes;
};

// The files (not folders) of `rclone lsjson` output, in its order. Output
// that is not such a listing is an Error.
std::vector<RemoteFile> parseListing(std::string_view json);
// The one file of `rclone lsjson --stat` output.
RemoteFile parseStat(std::string_view json);

// How far a transfer has come, from one of rclone's JSON log lines
// (--use-json-log with its statistics); nothing for any other line.
struct TransferStats {
    std::uint64_t bytes = 0;
    std::uint64_t total = 0;
};
std::optional<TransferStats> statsInLine(std::string_view line);

// The message of a line of rclone's errors: a JSON log line of level
// "error" or "critical", or a plain line of its own ("2026/12/10 17:22:34
// Failed to create file system for ..."); nothing for the other lines.
std::optional<std::string> errorInLine(std::string_view line);

// What the user reads when rclone failed on the remote: one line saying
// what happened and what to do (an unknown remote, a refused login, the
// network, a full remote, ...), from the error messages rclone wrote and
// its exit code.
// The texts of this folder are English, as the windows show them; the
// command line keeps each of them, for its Russian, in cli/CoreTexts.cpp:
// a text changed here is changed there too.
std::string explainFailure(std::string_view remote, const std::vector<std::string>& errors,
                           int exitCode);

// What the user reads when rclone is not there: how to get it.
std::string rcloneMissing();

// An error of rclone's, explained in one line.
class RemoteError : public Error {
public:
    using Error::Error;
};

// A transfer ended because the front end asked it to stop.
class TransferStopped : public Error {
public:
    TransferStopped() : Error("stopped") {}
};

// Where a transfer tells how far it came, and asks whether to stop.
class TransferReport {
public:
    virtual ~TransferReport() = default;
    // `name` is being sent to the remote (or fetched from it).
    virtual void transferStarted(const std::string& name, bool sending) = 0;
    virtual void transferProgress(std::uint64_t bytes, std::uint64_t total) = 0;
    virtual bool stopRequested() const = 0;
};

// The arguments of rclone's commands, each an argument of its own (built
// here so that the tests can read them).
namespace rclone_args {
std::vector<std::string> listRemotes();
std::vector<std::string> list(const RemotePath& folder);
std::vector<std::string> stat(const RemotePath& folder, std::string_view name, bool hashes);
std::vector<std::string> copy(const std::string& from, const std::string& to);
std::vector<std::string> move(const RemotePath& folder, std::string_view from, std::string_view to);
std::vector<std::string> deleteFile(const RemotePath& folder, std::string_view name);
std::vector<std::string> hashFile(std::string_view type, const std::filesystem::path& file);
} // namespace rclone_args

// rclone, run as a child process. Every call that fails throws RemoteError
// with its one line (rclone missing: rcloneMissing()); a transfer that was
// asked to stop throws TransferStopped.
class Rclone {
public:
    // The program: "" to find rclone beside this program or on PATH; one
    // that is not there leaves rclone missing.
    explicit Rclone(std::filesystem::path program = {});

    // Whether rclone is there to be run.
    bool available() const { return !program_.empty(); }

    // The names of the remotes the user configured ("nas", without ":").
    std::vector<std::string> remotes();
    // The files of the folder; none when the folder is not there (yet).
    std::vector<RemoteFile> list(const RemotePath& folder);
    // One file, with its hashes when asked for; nothing when it is not there.
    std::optional<RemoteFile> stat(const RemotePath& folder, std::string_view name, bool hashes);
    // A file of this machine sent to the remote under `name`, its progress
    // and the question whether to stop going to `report`.
    void upload(const std::filesystem::path& file, const RemotePath& folder, std::string_view name,
                TransferReport& report);
    // A file of the remote fetched to this machine.
    void download(const RemotePath& folder, std::string_view name,
                  const std::filesystem::path& file, TransferReport& report);
    // Renames a file of the folder, replacing one of the new name.
    void move(const RemotePath& folder, std::string_view from, std::string_view to);
    // Deletes a file of the folder; false when rclone could not.
    bool remove(const RemotePath& folder, std::string_view name);
    // The hash of that type ("md5") of a file of this machine, as rclone
    // computes it for a remote.
    std::string hashOf(std::string_view type, const std::filesystem::path& file);

private:
    struct Run {
        std::string output;
        std::vector<std::string> errors;
        int exitCode = 0;
    };
    // Runs rclone; a failure throws unless `failureIsAnswer`.
    Run run(const std::vector<std::string>& arguments, std::string_view remote,
            TransferReport* report = nullptr, bool failureIsAnswer = false);

    std::filesystem::path program_;
};

} // namespace vellarion

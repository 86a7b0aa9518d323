#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace vellarion {
class RemoteFolder;
class Rclone;
class SystemServices;
} // namespace vellarion

namespace vellarion::cli {

class Console;
class PasswordSource;
class RemoteProgress;

// A backup location of a command (--to, --from, verify --all): a folder of
// this machine, or a remote of rclone's ("rclone:REMOTE:PATH"). For a
// remote the job works on a private folder that stands for it (RemoteFolder):
// the remote is listed when the object is made (rclone missing, an unknown
// remote, a refused login end the command there), the archives a restore
// reads are fetched before it, and a backup's are sent after it, the
// transfers on the progress line, Ctrl-C stopping them (the command holds a
// StopOnInterrupt meanwhile).
class CommandLocation {
public:
    CommandLocation(Console& console, std::string typed);
    ~CommandLocation();

    bool remote() const { return folder_ != nullptr; }
    // What the job is given: the typed folder, or the private one.
    const std::string& location() const;
    // The folder's files as the user names them: the private folder's as
    // the remote's ("rclone:nas:backups/default.dat"); others as they are.
    std::string shown(const std::string& text) const;
    RemoteFolder& folder() { return *folder_; }

    // Fetches the archives a restore is to read (the private folder's
    // stand-ins), before the job begins.
    void fetch(const std::vector<std::string>& names);
    // After a backup to a remote: the new archives read whole, sent, the
    // versions beyond `keep` deleted there, each said on stderr.
    void send(SystemServices& services, PasswordSource& passwords,
              const std::vector<std::string>& archives, int keep);

    // Runs `job`, an error's text naming the private folder as the remote.
    void run(const std::function<void()>& job) const;

private:
    // Runs a remote step: a stop becomes the command's interruption.
    void remoteStep(const std::function<void()>& step);

    Console& console_;
    std::string typed_;
    std::unique_ptr<Rclone> rclone_;
    std::unique_ptr<RemoteProgress> progress_;
    std::unique_ptr<RemoteFolder> folder_;
};

// Adds --allow-plain to a backup command.
void addAllowPlainOption(CLI::App& command, bool& allowPlain);

// A plain archive that holds passwords or cookies does not leave the
// machine unless the user says so: refused (Error, saying why and what to
// give) when `location` is a remote, the backup is not encrypted and
// --allow-plain was not given.
void refusePlainSecretsOffMachine(const std::string& location, bool encrypt, bool allowPlain);

} // namespace vellarion::cli

#pragma once

#include "core/remote/Rclone.h"
#include "core/schedule/KeptVersions.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vellarion {

class SystemServices;

// A remote backup location as the jobs see it: a private folder of this
// machine (0700, in the system's folder for temporary files) that holds an
// empty stand-in of each archive (".dat") the remote folder holds. The jobs,
// the restore's choice of a version and the kept versions' rules find there
// what lies on the remote, by name, and work as on a disk; the archives a
// restore reads are fetched over their stand-ins first, the archives a
// backup wrote are sent from there once they read whole. The folder and
// everything in it go with the object, however the command ends.
class RemoteFolder {
public:
    // Lists the remote folder (a folder not there yet holds nothing):
    // rclone missing, an unknown remote, a refused login end here, before
    // any job begins.
    RemoteFolder(Rclone& rclone, RemotePath where, TransferReport& report);
    ~RemoteFolder();
    RemoteFolder(const RemoteFolder&) = delete;
    RemoteFolder& operator=(const RemoteFolder&) = delete;

    const RemotePath& where() const { return where_; }
    // The private folder, a path of this machine in UTF-8: the jobs' backup
    // location.
    const std::string& location() const { return location_; }
    // `text` (a message) with the private folder's path given as the
    // remote's: "rclone:nas:backups/default.dat".
    std::string shown(std::string text) const;
    // A file of the private folder as the remote's: "rclone:nas:backups/default.dat".
    std::string remoteName(const std::string& path) const;

    // The archives (".dat") of the remote folder, by name, as listed at the start.
    const std::vector<RemoteFile>& archives() const { return archives_; }

    // Fetches the archive over its stand-in, its size checked against the
    // listing (rclone checks the hash on the way where the remote has one).
    // Returns the local file's path.
    std::string fetch(const std::string& name);

    // Deletes an archive of the remote (a restore that deletes its archive
    // once done); false when rclone could not.
    bool removeArchive(const std::string& name) { return rclone_.remove(where_, name); }

    // What a backup sent and what then became of the older versions (the
    // remote's names: "rclone:nas:backups/default 2026-12-09 221700.dat").
    struct Sent {
        std::vector<std::string> archives;
        Retention retention;
    };
    // After a backup: its new archives (paths in the private folder) read
    // whole first (one that does not: Error, nothing sent), then each sent
    // under a temporary name, its size and, where the remote has one, its
    // hash compared with the local file's, then all renamed to their names.
    // A failure or a stop on the way leaves the remote's archives as they
    // were (the temporary copy is deleted where the remote still answers).
    // With `keep`, the newest `keep` versions of the remote are then kept
    // by the kept versions' rules (keepNewest): an older version whose
    // soundness is asked is fetched and read whole.
    Sent send(SystemServices& services, const std::vector<std::string>& archives, int keep,
              const ArchivePassword& password);

    // The temporary name of an archive being sent ("." + name + "." + the
    // time it was begun + "-" + a tag of the run's + ".uploading"): never an
    // archive's name, and known as ours when a run that died left it.
    static std::string uploadName(const std::string& name, long long startedAt,
                                  std::string_view tag);
    // When a temporary name of ours was begun; none for another name.
    static std::optional<long long> uploadStarted(const std::string& name);

private:
    void makeStandIns();
    // Sends one archive under its temporary name and checks it there.
    void sendChecked(const std::filesystem::path& file, const std::string& name,
                     const std::string& temporary);
    // Deletes what runs that died left half sent a day ago or more.
    void removeAbandonedUploads(const std::vector<RemoteFile>& files);

    Rclone& rclone_;
    RemotePath where_;
    TransferReport& report_;
    std::filesystem::path folder_;
    std::string location_;
    std::vector<RemoteFile> files_;    // the remote folder's files at the start
    std::vector<RemoteFile> archives_; // its archives
};

// The archives of one version of a full backup among the remote folder's:
// the data set's archive and its numbered sisters ("fbackup_opera.dat" and
// "fbackup_opera2.dat"), stamped with `stamp` ("" for the plain names).
std::vector<std::string> fullArchivesOfVersion(const RemoteFolder& folder,
                                               const std::string& archiveName,
                                               const std::string& stamp);

// The private folders of remote locations that runs which ended left in
// the system's temporary folder (a kill, a power cut) are removed: called
// by every RemoteFolder first.
void removeAbandonedRemoteFolders();

} // namespace vellarion

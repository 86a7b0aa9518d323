#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vellarion {

class SystemServices;

// A folder a job makes in the backup location to stage a backup's copies or
// to unpack an archive into, removed however the job ends: after success,
// after an error of the codec or the disk, after a stop. It holds copies of
// passwords and cookies, so it never outlives its job.
//
// It is always a folder that did not exist before: `name`, or when
// something of that name is there already (the user's own folder, one a
// crashed job left) "name (2)", "name (3)"... A job thus never merges into,
// packs or deletes what it did not make. When no such folder can be made
// (the location is missing or read-only) the constructor throws: a job
// without a folder of its own would pack nothing.
//
// It is private (0700 on POSIX), and a marker beside it names it as this
// run's, so that a folder a killed run left is removed by the next run that
// uses the location (recoverRestores).
class StagingFolder {
public:
    StagingFolder(SystemServices& services, std::string_view location, std::string_view name);
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    const std::string& path() const { return path_; }
    // Removes the folder now (a job's last steps come after it).
    void remove();

private:
    void markAsOurs(std::string_view location, const std::string& name);
    void dropMarker();

    SystemServices& services_;
    std::string path_;
    std::filesystem::path marker_;
    bool removed_ = false;
};

} // namespace vellarion

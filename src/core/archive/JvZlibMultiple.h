#pragma once

#include "core/services/Stream.h"
#include "core/crypto/Secret.h"
#include "core/services/PathMapper.h"

#include <atomic>
#include <exception>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

class ArchiveFile;
class ArchiveReader;
class ArchiveWriter;
class Inflater;
struct RecordHeader;
class OpenedArchive;
class TJvZlibMultiple;

// The codec's events. Each receives the codec as Sender; FileName is a
// program path.
using TFileEvent = std::function<void(TJvZlibMultiple& Sender, const std::string& FileName)>;
using TProgressEvent =
    std::function<void(TJvZlibMultiple& Sender, std::int32_t Position, std::int32_t Total)>;
using TFileBeforeWriteEvent =
    std::function<void(TJvZlibMultiple& Sender, const std::string& FileName, bool& WriteFile)>;
using TFileAfterWriteEvent = std::function<void(
    TJvZlibMultiple& Sender, const std::string& FileName, std::uint32_t FileSize)>;
using TNotifyEvent = std::function<void(TJvZlibMultiple& Sender)>;
using TFileSkipEvent =
    std::function<void(TJvZlibMultiple& Sender, const std::string& Filename,
                       const std::string& errortype, const std::string& errormessage)>;

// One record as a listing shows it.
struct StoredEntry {
    std::string name; // Dir (ending in "\" when not empty) followed by Name
    std::uint32_t uncompressedSize = 0;
    std::uint32_t compressedSize = 0;
    // Why the record is never unpacked, whatever it holds ("" for a file
    // like any other): a name the program keeps for its own work.
    std::string refused;
};

// What reading a whole archive found: every record inflated, its zlib
// stream's checksum and its sizes checked.
struct ArchiveCheck {
    struct Damage {
        std::string name;   // the record's stored name (Dir + Name)
        std::string reason; // "zlib returned: data error", "Stream read error", ...
    };
    std::size_t records = 0;     // records read, sound or damaged
    std::vector<Damage> damaged; // in archive order
    // Not empty when the archive breaks off (a header cut short or a size
    // running past the end): nothing after that point can be read.
    std::string brokenOff;
    bool sound() const { return damaged.empty() && brokenOff.empty(); }
};

// An archive packed into a temporary file beside its name and waiting to
// take the name's place: commit() renames it over the name, replacing the
// previous archive only then. Dropped without a commit, it is removed and the
// previous archive stays. A job that writes several archives commits them
// once all are written, so that a failure while writing one keeps every
// previous archive.
class PendingArchive {
public:
    ~PendingArchive();
    PendingArchive(const PendingArchive&) = delete;
    PendingArchive& operator=(const PendingArchive&) = delete;

    void commit();
    // Gives the archive the name `fileName` (a program path in the same
    // folder) only while that name is free: false, and the archive still
    // pending, when another file took it meanwhile.
    bool commitNew(const PathMapper& paths, const std::string& fileName);

private:
    friend class TJvZlibMultiple;
    explicit PendingArchive(std::unique_ptr<ArchiveFile> file);

    std::unique_ptr<ArchiveFile> file_;
};

// The backup archive codec: packs a directory tree into a sequence of
// records (one zlib stream per file) and unpacks such an archive again.
// Paths are program paths; they touch the disk only through the PathMapper.
//
// Events are raised on the calling thread in the order a one-file-at-a-time
// run raises them, although packing compresses several files at once on
// worker threads. Errors are thrown as vellarion::Error.
class TJvZlibMultiple {
public:
    explicit TJvZlibMultiple(const PathMapper& paths = nativePathMapper());
    TJvZlibMultiple(const TJvZlibMultiple&) = delete;
    TJvZlibMultiple& operator=(const TJvZlibMultiple&) = delete;

    // When false every record is written with an empty Dir.
    bool StorePaths = true;
    // When false a source file is read while others are denied the right to
    // write to it; when true nothing is denied.
    bool IgnoreExclusive = false;
    // Packing a tree another program keeps writing meanwhile (nothing is
    // denied to it then). Each file is read with its size, time and identity
    // taken before and after; one that changed meanwhile is read again, with
    // growing pauses, and one that never settles is named through
    // OnFileSkip ("FileKeptChanging") and not stored. A file of kRereadLimit
    // bytes or more cannot be read again once its first blocks are written:
    // it is dropped and named when it changed.
    bool SourceInUse = false;
    static constexpr std::uint64_t kRereadLimit = 2 * 1024 * 1024;
    // Asked on a worker thread, for every file about to be packed (its
    // native path): the file to read instead (itself, or a copy made of
    // it), or none to leave it out without a word.
    std::function<std::optional<std::filesystem::path>(const std::filesystem::path& native)>
        OnChooseSource;
    // Asked on a worker thread once a file in use that OnChooseSource gave
    // as itself was read to its end unchanged: false when it is no state to
    // store after all (its record is then dropped as one that changed).
    std::function<bool(const std::filesystem::path& native)> OnVerifySource;
    // Asked when a file in use changed while it was read: true to read it
    // again from what OnChooseSource gives now (a consistent copy of it)
    // rather than leave it out.
    std::function<bool(const std::filesystem::path& native)> OnSourceChanged;
    // Called on a worker thread once a file in use was read and before it is
    // checked: where a test makes a writer change it meanwhile.
    std::function<void(const std::filesystem::path& native, int attempt)> OnSourceRead;
    // zlib level, -1 for zlib's default (6).
    int CompressionLevel = -1;
    // Unpacking creates every missing directory of a record's path.
    bool ForceDirectoriesFlag = true;
    // Unpacking forces each file onto the disk before it takes its name.
    bool SyncWrittenFiles = false;
    // Unpacking writes each file under its own name at once rather than
    // beside it: only for a fresh private folder that is removed whole when
    // the unpack fails (a file cut short there is never taken for a whole
    // one). A name the archive holds twice is still replaced whole. Small
    // files are then written on worker threads while the next records are
    // read: each is complete when the unpack returns, not yet when
    // OnDecompressedFile names it.
    bool WriteInPlace = false;
    // Packing never follows a symbolic link or junction below the packed
    // folder (the folder itself may be one): the link is named through
    // OnFileSkip and nothing is stored for it, unless its name is one of
    // these (say a browser's lock links, which are no data: left out without
    // a word) or it leads to a folder OnFollowLink accepts, which is then
    // packed as if it were a folder of its own (never one the walk is
    // already inside).
    std::set<std::string> QuietSkipNames;
    std::function<bool(const std::string& programPath)> OnFollowLink;
    // While set, packing or unpacking waits between chunks. Another thread
    // (or a handler) clears them.
    std::atomic<bool> CompressionPaused{false};
    std::atomic<bool> DecompressionPaused{false};

    // Packing into a file asks this for the password to encrypt the archive
    // with (docs/archive-format.md); none, or no handler, packs a plain
    // archive.
    std::function<std::optional<Secret>()> OnEncryptionPassword;
    // Reading an archive file that is encrypted asks this for its password
    // (FileName: the archive). None, or no handler, throws
    // PasswordNeededError; a wrong one WrongPasswordError, before anything
    // is written. Unpacking, checking and listing are then the same as for
    // a plain archive.
    std::function<std::optional<Secret>(const std::string& FileName)> OnPasswordNeeded;

    // A record that is no file of the tree: the key a browser's saved
    // passwords are encrypted with (docs/archive-format.md). Packing an
    // encrypted archive asks for it after the tree and stores it under
    // kCarriedRecordName at the top; a plain archive never asks. Unpacking
    // never writes it: an encrypted archive hands it to OnCarriedRecordRead,
    // a plain one drops it.
    static constexpr std::string_view kCarriedRecordName = ".vellarion-keys";
    std::function<std::optional<Secret>()> OnCarriedRecord;
    std::function<void(Secret Record)> OnCarriedRecordRead;

    // Before a file's content is packed; FileName is its full path.
    TFileEvent OnCompressingFile;
    // After a file's content is compressed, before its record is complete.
    TFileEvent OnCompressedFile;
    // After every 1024-byte chunk of one file (and once more when it ends):
    // bytes so far and the file's size (packing) or the record's
    // UncompressedSize (unpacking). Counts start again at each file.
    TProgressEvent OnProgress;
    // Before a record is unpacked, with the full target path; clearing
    // WriteFile unpacks it without writing.
    TFileBeforeWriteEvent OnDecompressingFile;
    // After a record is unpacked, with the number of bytes it inflated to.
    TFileAfterWriteEvent OnDecompressedFile;
    // At the end of DecompressFile.
    TNotifyEvent OnCompletedAction;
    // Before a record is checked, with its stored name.
    TFileEvent OnVerifyingFile;
    // A source file (or folder) that packing leaves out: one that cannot be
    // opened ("FileOpenError"), a link ("SymbolicLink"), a path longer than
    // a record holds ("PathTooLong"), a file whose compressed data outgrows
    // its record ("RecordTooLargeError"); with the text to show.
    TFileSkipEvent OnFileSkip;

    // Packs the tree below Directory into the archive FileName. The archive
    // is written to a temporary file beside it and takes FileName's place
    // only when packing succeeded; on failure or stop the previous archive
    // stays as it was.
    void CompressDirectory(const std::string& Directory, bool Recursive,
                           const std::string& FileName);

    // The same, leaving the archive in its temporary file until it is
    // committed; null when packing was stopped.
    std::unique_ptr<PendingArchive> CompressDirectoryPending(const std::string& Directory,
                                                             bool Recursive,
                                                             const std::string& FileName);

    // The same, returning the archive in memory, positioned at its start.
    std::unique_ptr<MemoryStream> CompressDirectory(const std::string& Directory, bool Recursive);

    // The same, appending the records to Output at its position. Returns
    // false when packing was stopped: Output then holds the records completed
    // before the stop.
    bool CompressDirectory(const std::string& Directory, bool Recursive, Stream& Output);

    // Unpacks the archive FileName into Directory; returns the number of
    // files written (0 for an empty archive, which is valid).
    //
    // Nothing is written through a link: each file is written to a new
    // private file (0600 on POSIX) beside its name and renamed over it, so a
    // link at the name is replaced, never followed, and the previous file
    // stays whole until the new one is complete. A link or file where a
    // folder of the stored path must be is refused before anything of that
    // record is written. Folders it makes are private (0700 on POSIX). A
    // record whose data or sizes are wrong is refused before it takes its
    // name.
    std::size_t DecompressFile(const std::string& FileName, const std::string& Directory,
                               bool Overwrite, bool RelativePaths);

    // Unpacks the records from Stream's position to its end into Directory.
    std::size_t DecompressStream(Stream& Stream, const std::string& Directory, bool Overwrite,
                                 bool RelativePaths);

    // Reads the whole archive without writing anything: each record is
    // inflated and checked (zlib's checksum, the stored size, a safe name).
    // A damaged record is noted and reading goes on with the next one; an
    // archive that breaks off ends the check there. OnVerifyingFile names
    // each record, OnProgress counts its bytes; StopDecompression ends it.
    // Only an archive that cannot be opened throws.
    ArchiveCheck VerifyFile(const std::string& FileName);
    ArchiveCheck VerifyStream(Stream& Stream);

    // Appends one entry per record to FileList, in archive order: Dir (with a
    // trailing "\" ensured when not empty) followed by Name.
    void ListStoredFiles(const std::string& FileName, std::vector<std::string>& FileList);
    void ListStoredFiles(Stream& Stream, std::vector<std::string>& FileList);

    // Calls each for every record of an archive, in archive order, with its
    // sizes. Nothing is unpacked.
    void forEachStoredEntry(const std::string& FileName,
                            const std::function<void(const StoredEntry&)>& each);
    // (`encrypted`: the stream is an encrypted archive's, decrypted.)
    static void forEachStoredEntry(Stream& stream,
                                   const std::function<void(const StoredEntry&)>& each,
                                   bool encrypted = false);

    // Ask a running (or the next) packing or unpacking to end at the next
    // chunk. A stopped pack writes no archive; a stopped unpack removes the
    // file it was writing and unpacks nothing more.
    void StopCompression() { FTerminateCompress = true; }
    void StopDecompression() { FTerminateDecompress = true; }
    // Whether a stop was asked for: the work may have ended short of its end.
    bool StopRequested() const { return FTerminateCompress || FTerminateDecompress; }

    // The text a message shows for a program path: its native form.
    std::string shownPath(const std::string& programPath) const;

    // The most compressed data one record may hold: what the 32-bit
    // CompressedSize holds; tests lower it.
    void setRecordDataLimit(std::uint64_t limit) { recordDataLimit_ = limit; }

    // Worker threads that packing compresses on; 0 (the default) uses one
    // per processor. The archive's bytes do not depend on it.
    void setWorkerCount(unsigned count) { workerCount_ = count; }

private:
    friend class Packer;

    std::unique_ptr<OpenedArchive> openArchive(const std::string& FileName);
    void appendCarriedRecord(ArchiveWriter& writer);
    void readCarriedRecord(const RecordHeader& header, std::span<unsigned char> content,
                           std::exception_ptr failure);

    const PathMapper& paths_;
    std::atomic<bool> FTerminateCompress{false};
    std::atomic<bool> FTerminateDecompress{false};
    unsigned workerCount_ = 0;
    bool readingEncrypted_ = false; // the archive being read was encrypted
    // Why a record of these stored names is never unpacked: "" for a file
    // like any other.
    static std::string refusedRecord(const std::string& storedDir, const std::string& storedName,
                                     bool encrypted);
    std::uint64_t recordDataLimit_; // ArchiveWriter::maxCompressedSize unless lowered
};

} // namespace vellarion

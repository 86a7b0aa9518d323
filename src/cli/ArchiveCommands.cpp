#include "cli/ArchiveCommands.h"

#include "cli/Console.h"
#include "cli/CoreTexts.h"
#include "cli/Interrupt.h"
#include "cli/JobOutput.h"
#include "cli/Passwords.h"
#include "cli/RemoteLocation.h"
#include "cli/SystemReason.h"
#include "core/archive/ArchiveError.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/remote/RemoteFolder.h"
#include "core/schedule/KeptVersions.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/ProgramPath.h"
#include "core/services/Text.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <functional>

namespace vellarion::cli {

namespace {

// "1 record", "5 records".
std::string recordCount(std::size_t records) {
    return say(records == 1 ? E_("%1 record") : E_("%1 records"), {std::to_string(records)});
}

// Runs `work` on the archive; a file whose very first record does not read
// (`nothingRead` still true when it fails) is no backup archive at all, and
// the user is told so rather than what broke.
void onNoArchive(const std::string& archive, const std::function<bool()>& nothingRead,
                 const std::function<void()>& work) {
    try {
        work();
    } catch (const StreamReadError&) {
        if (!nothingRead()) {
            throw;
        }
    } catch (const ZlibError&) {
        if (!nothingRead()) {
            throw;
        }
    }
    if (nothingRead()) {
        throw Error(say(E_("\"%1\" is no backup archive (or one cut off within its first record)"),
                        {archive}));
    }
}

// Runs the codec on the folder: the file being packed or unpacked on the
// progress line, files left out as warnings, Ctrl-C stopping it cleanly.
template <class Work>
void runCodec(Console& console, const std::string& folder, PasswordSource& passwords, Work work) {
    TJvZlibMultiple codec;
    JobOutput output(console, nativePathMapper(), folder);
    output.usePasswords(passwords);
    reportCodecEvents(codec, output);
    StopOnInterrupt interrupt;
    work(codec);
    endJob(console, codec.StopRequested() ? JobOutcome::Stopped : JobOutcome::Done);
}

void pack(Console& console, const std::string& folder, const std::string& archive,
          PasswordSource& passwords) {
    const auto native = nativePathMapper().toNative(folder);
    std::error_code ec;
    if (!native || !std::filesystem::is_directory(*native, ec)) {
        throw Error(say(E_("\"%1\" is not a folder"), {nativePathMapper().toDisplay(folder)}));
    }
    // Asked before the progress line starts.
    passwords.forNewArchive();
    runCodec(console, folder, passwords,
             [&](TJvZlibMultiple& codec) { codec.CompressDirectory(folder, true, archive); });
}

void unpack(Console& console, const std::string& archive, const std::string& folder,
            PasswordSource& passwords) {
    runCodec(console, folder, passwords,
             [&](TJvZlibMultiple& codec) { codec.DecompressFile(archive, folder, true, true); });
}

void list(Console& console, const std::string& archive, bool sizes, PasswordSource& passwords) {
    TJvZlibMultiple codec;
    codec.OnPasswordNeeded = [&passwords](const std::string& file) {
        return std::optional<Secret>(passwords.forArchive(nativePathMapper().toDisplay(file)));
    };
    std::ostream& out = console.out();
    std::size_t listed = 0;
    const auto notAnArchive = [&] { return listed == 0; };
    onNoArchive(archive, notAnArchive, [&] {
        codec.forEachStoredEntry(archive, [&](const StoredEntry& entry) {
            ++listed;
            if (sizes) {
                char columns[32];
                std::snprintf(columns, sizeof columns, "%12u %12u  ",
                              static_cast<unsigned>(entry.uncompressedSize),
                              static_cast<unsigned>(entry.compressedSize));
                out << columns;
            }
            // A stored name is the archive's, not ours: it reaches the terminal escaped.
            out << terminalText(entry.name);
            if (!entry.refused.empty()) {
                out << "  (" << entry.refused << ")";
            }
            out << '\n';
        });
    });
    out << std::flush;
}

// Reads the whole archive, writing nothing: each damaged record on a line
// of its own, then what was found. Damage is the command's error.
void verify(Console& console, const std::string& archive, PasswordSource& passwords) {
    ArchiveCheck check;
    runCodec(console, std::string(), passwords,
             [&](TJvZlibMultiple& codec) { check = codec.VerifyFile(archive); });
    if (check.records == 0 && check.damaged.empty() && !check.brokenOff.empty()) {
        throw Error(say(E_("\"%1\" is no backup archive (or one cut off within its first record)"),
                        {archive}));
    }
    std::ostream& out = console.out();
    for (const ArchiveCheck::Damage& damage : check.damaged) {
        out << terminalText(say(E_("damaged: %1: %2"), {damage.name, userText(damage.reason)}))
            << '\n';
    }
    out << std::flush;
    const std::string records = recordCount(check.records);
    if (!check.brokenOff.empty()) {
        throw Error(check.damaged.empty()
                        ? say(E_("%1 breaks off after %2 (%3)"),
                              {archive, records, userText(check.brokenOff)})
                        : say(E_("%1 breaks off after %2 (%3); %4 damaged before"),
                              {archive, records, userText(check.brokenOff),
                               std::to_string(check.damaged.size())}));
    }
    if (!check.damaged.empty()) {
        throw Error(say(E_("%1: %2 of %3 damaged"),
                        {archive, std::to_string(check.damaged.size()), records}));
    }
    out << say(E_("%1: %2, all sound"), {archive, records}) << '\n' << std::flush;
}

// Every archive (".dat") in the folder read whole, one line each, newest
// versions first; one that does not read whole is the command's error. The
// folder of a remote (rclone:REMOTE:PATH): each archive fetched into a
// private folder in turn, read, and deleted there again.
void verifyAll(Console& console, const std::string& folder, PasswordSource& passwords) {
    namespace fs = std::filesystem;
    StopOnInterrupt interrupt;
    CommandLocation where(console, folder);
    std::vector<std::string> names;
    if (where.remote()) {
        for (const RemoteFile& archive : where.folder().archives()) {
            names.push_back(archive.name);
        }
    } else {
        std::error_code ec;
        for (fs::directory_iterator it(pathFromUtf8(folder), ec), end; !ec && it != end;
             it.increment(ec)) {
            const std::string name = pathToUtf8(it->path().filename());
            if (name.size() > 4 && equalsIgnoreCase(name.substr(name.size() - 4), ".dat") &&
                it->is_regular_file(ec)) {
                names.push_back(name);
            }
        }
        if (ec) {
            throw Error(say(E_("Cannot read the folder \"%1\" (%2)"), {folder, systemReason(ec)}));
        }
    }
    orderNewestFirst(names);
    std::size_t failed = 0;
    std::ostream& out = console.out();
    for (const std::string& name : names) {
        const std::string path = pathToUtf8(pathFromUtf8(where.location()) / pathFromUtf8(name));
        where.fetch({name});
        std::size_t records = 0;
        const std::string damage = archiveDamage(
            nativePathMapper(), path,
            [&](const std::string&) {
                return std::optional<Secret>(passwords.forArchive(where.shown(path)));
            },
            &records);
        if (where.remote()) {
            std::error_code ec;
            fs::remove(pathFromUtf8(path), ec);
        }
        StopOnInterrupt::throwIfInterrupted();
        if (damage.empty()) {
            out << terminalText(say(E_("%1: %2, all sound"), {name, recordCount(records)})) << '\n';
        } else {
            ++failed;
            out << terminalText(say(E_("%1: FAILED: %2"), {name, where.shown(userText(damage))}))
                << '\n';
        }
    }
    out << std::flush;
    if (names.empty()) {
        throw Error(say(E_("no archive (.dat) in \"%1\""), {folder}));
    }
    if (failed > 0) {
        throw Error(say(E_("%1 of %2 archives do not read whole"),
                        {std::to_string(failed), std::to_string(names.size())}));
    }
}

} // namespace

void addArchiveCommands(CLI::App& app, Console& console) {
    struct Arguments {
        std::string folder;
        std::string archive;
        bool sizes = false;
        PasswordOptions password;
    };
    auto args = std::make_shared<Arguments>();

    CLI::App* packCommand =
        app.add_subcommand("pack", E_("Pack the tree below DIR into the backup archive ARCHIVE "
                                      "(replacing it only when packing succeeds)"));
    packCommand->add_option("DIR", args->folder, E_("Folder to pack"))->required();
    packCommand->add_option("ARCHIVE", args->archive, E_("Archive to write"))->required();
    addPasswordOptions(*packCommand, args->password, true);
    packCommand->callback([&console, args] {
        PasswordSource passwords(console, args->password);
        pack(console, args->folder, args->archive, passwords);
    });

    CLI::App* unpackCommand = app.add_subcommand(
        "unpack", E_("Unpack ARCHIVE into DIR, replacing files of the same names"));
    unpackCommand->add_option("ARCHIVE", args->archive, E_("Archive to read"))->required();
    unpackCommand->add_option("DIR", args->folder, E_("Folder to unpack into"))->required();
    addPasswordOptions(*unpackCommand, args->password, false);
    unpackCommand->callback([&console, args] {
        PasswordSource passwords(console, args->password);
        unpack(console, args->archive, args->folder, passwords);
    });

    CLI::App* listCommand =
        app.add_subcommand("list", E_("List the files stored in ARCHIVE, in archive order"));
    listCommand->add_flag("-l,--long", args->sizes,
                          E_("Show each file's size and its compressed size first"));
    listCommand->add_option("ARCHIVE", args->archive, E_("Archive to read"))->required();
    addPasswordOptions(*listCommand, args->password, false);
    listCommand->callback([&console, args] {
        PasswordSource passwords(console, args->password);
        list(console, args->archive, args->sizes, passwords);
    });

    CLI::App* verifyCommand = app.add_subcommand(
        "verify",
        E_("Read every record of ARCHIVE and check it, writing nothing; lists the damaged "
           "records and fails when there is one. With --all DIR, every archive in DIR, "
           "one line each"));
    CLI::Option* one = verifyCommand->add_option("ARCHIVE", args->archive, E_("Archive to check"));
    CLI::Option* all =
        verifyCommand
            ->add_option("--all", args->folder,
                         E_("Check every archive in DIR (a folder, or rclone:REMOTE:PATH, whose "
                            "archives are fetched one at a time)"))
            ->type_name("DIR");
    one->excludes(all);
    addPasswordOptions(*verifyCommand, args->password, false);
    verifyCommand->callback([&console, args] {
        if (args->archive.empty() && args->folder.empty()) {
            throw CLI::RequiredError("ARCHIVE or --all");
        }
        PasswordSource passwords(console, args->password);
        if (!args->folder.empty()) {
            verifyAll(console, args->folder, passwords);
        } else {
            verify(console, args->archive, passwords);
        }
    });
}

} // namespace vellarion::cli

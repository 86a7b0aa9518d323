#include "cli/ArchiveCommands.h"

#include "archive/JvZlibMultiple.h"
#include "cli/Console.h"
#include "cli/Interrupt.h"
#include "services/Error.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace vellarion::cli {

namespace {

// Shows the file being packed or unpacked, relative to the folder, with the
// share of it done; the text is only built when the line is due.
void showProgress(TJvZlibMultiple& codec, Console& console, const std::string& folder) {
    auto line = std::make_shared<FileProgressLine>(console, folder);
    codec.OnCompressingFile = [line](TJvZlibMultiple&, const std::string& file) {
        line->start(file);
    };
    codec.OnDecompressingFile = [line](TJvZlibMultiple&, const std::string& file, bool&) {
        line->start(file);
    };
    codec.OnProgress = [line](TJvZlibMultiple&, std::int32_t position, std::int32_t total) {
        line->bytes(position, total);
    };
}

void pack(Console& console, const std::string& folder, const std::string& archive) {
    const auto native = nativePathMapper().toNative(folder);
    std::error_code ec;
    if (!native || !std::filesystem::is_directory(*native, ec)) {
        throw Error("\"" + folder + "\" is not a folder");
    }
    TJvZlibMultiple codec;
    showProgress(codec, console, folder);
    codec.OnFileSkip = [&console](TJvZlibMultiple&, const std::string&, const std::string&,
                                  const std::string& message) { console.warning(message); };
    InterruptStopsCodec interrupt(codec);
    codec.CompressDirectory(folder, true, archive);
    console.endProgress();
    InterruptStopsCodec::throwIfInterrupted();
}

void unpack(Console& console, const std::string& archive, const std::string& folder) {
    TJvZlibMultiple codec;
    showProgress(codec, console, folder);
    InterruptStopsCodec interrupt(codec);
    codec.DecompressFile(archive, folder, true, true);
    console.endProgress();
    InterruptStopsCodec::throwIfInterrupted();
}

void list(Console& console, const std::string& archive, bool sizes) {
    TJvZlibMultiple codec;
    std::ostream& out = console.out();
    codec.forEachStoredEntry(archive, [&](const StoredEntry& entry) {
        if (sizes) {
            char columns[32];
            std::snprintf(columns, sizeof columns, "%12u %12d  ",
                          static_cast<unsigned>(entry.uncompressedSize),
                          static_cast<int>(entry.compressedSize));
            out << columns;
        }
        out << entry.name << '\n';
    });
    out << std::flush;
}

} // namespace

void addArchiveCommands(CLI::App& app, Console& console) {
    struct Arguments {
        std::string folder;
        std::string archive;
        bool sizes = false;
    };
    auto args = std::make_shared<Arguments>();

    CLI::App* packCommand =
        app.add_subcommand("pack", "Pack the tree below DIR into the backup archive ARCHIVE "
                                   "(replacing it only when packing succeeds)");
    packCommand->add_option("DIR", args->folder, "Folder to pack")->required();
    packCommand->add_option("ARCHIVE", args->archive, "Archive to write")->required();
    packCommand->callback([&console, args] { pack(console, args->folder, args->archive); });

    CLI::App* unpackCommand =
        app.add_subcommand("unpack", "Unpack ARCHIVE into DIR, replacing files of the same names");
    unpackCommand->add_option("ARCHIVE", args->archive, "Archive to read")->required();
    unpackCommand->add_option("DIR", args->folder, "Folder to unpack into")->required();
    unpackCommand->callback([&console, args] { unpack(console, args->archive, args->folder); });

    CLI::App* listCommand =
        app.add_subcommand("list", "List the files stored in ARCHIVE, in archive order");
    listCommand->add_flag("-l,--long", args->sizes,
                          "Show each file's size and its compressed size first");
    listCommand->add_option("ARCHIVE", args->archive, "Archive to read")->required();
    listCommand->callback([&console, args] { list(console, args->archive, args->sizes); });
}

} // namespace vellarion::cli

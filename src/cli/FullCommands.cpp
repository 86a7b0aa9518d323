#include "cli/FullCommands.h"

#include "cli/CommonOptions.h"
#include "cli/Console.h"
#include "cli/Interrupt.h"
#include "services/Error.h"
#include "wizards/FullJob.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>

namespace vellarion::cli {

namespace {

// The full job's side of the command line: a refusal is the command's error,
// other messages are warnings, each file shows on the progress line, and
// Ctrl-C stops the codec.
class CommandReporter : public JobReporter {
public:
    CommandReporter(Console& console, const WizardState& state)
        : console_(console), state_(state) {}

    void showMessage(const std::string& text) override { console_.warning(text); }
    void refuse(const std::string& text) override { throw Error(text); }
    void fileStarted(const std::string& path) override {
        if (!line_) {
            line_ = std::make_unique<FileProgressLine>(console_, state_.ffpath);
        }
        line_->start(path);
    }
    void fileProgress(std::int32_t position, std::int32_t total) override {
        if (line_) {
            line_->bytes(position, total);
        }
    }
    void fileSkipped(const std::string&, const std::string& reason) override {
        console_.warning(reason);
    }
    bool stopRequested() const override { return InterruptStopsCodec::interrupted(); }

private:
    Console& console_;
    const WizardState& state_;
    std::unique_ptr<FileProgressLine> line_;
};

struct Arguments {
    EnvironmentOptions environment;
    std::string browser;
    std::string location;
};

// "C:\...\Firefox" as the system names it, the archive as this machine does.
std::string archiveText(const SystemServices& services, const std::string& archive,
                        std::uintmax_t& size) {
    const auto native = services.paths().toNative(archive);
    std::error_code ec;
    size = native ? std::filesystem::file_size(*native, ec) : 0;
    return native ? pathToUtf8(*native) : archive;
}

void run(Console& console, const Arguments& args, Direction direction) {
    const std::unique_ptr<SystemServices> services = makeServices(args.environment);
    WizardState state;
    CommandReporter reporter(console, state);
    FullJob job(*services, browserDataSet(args.browser), state, reporter);
    InterruptStopsCodec interrupt;
    // The data root not found: the job refuses with the window's message.
    job.locate();
    const JobOutcome result =
        direction == Direction::Backup ? job.backup(args.location) : job.restore(args.location);
    console.endProgress();
    InterruptStopsCodec::throwIfInterrupted();
    if (result != JobOutcome::Done) {
        throw Error("the job did not finish");
    }
    for (const FullArchive& archive : job.archives()) {
        std::uintmax_t size = 0;
        const std::string file = archiveText(*services, archive.archive, size);
        if (direction == Direction::Backup) {
            console.out() << "Packed " << archive.folder << " into " << file << " (" << size
                          << " bytes)\n";
        } else {
            console.out() << "Unpacked " << file << " (" << size << " bytes) into "
                          << archive.folder << '\n';
        }
    }
    console.out() << std::flush;
}

void addCommand(CLI::App& app, Console& console, Direction direction) {
    const bool backup = direction == Direction::Backup;
    auto args = std::make_shared<Arguments>();
    CLI::App* command = app.add_subcommand(
        backup ? "full-backup" : "full-restore",
        backup ? "Pack the browser's whole data folder into its archive in DIR "
                 "(fbackup_firefox.dat and its sisters)"
               : "Unpack the browser's archive in DIR over its data folder, replacing files of "
                 "the same names and keeping the others");
    addBrowserArgument(*command, args->browser);
    command
        ->add_option(backup ? "--to" : "--from", args->location,
                     backup ? "The backup location: the folder to write the archive to"
                            : "The backup location: the folder holding the archive")
        ->type_name("DIR")
        ->required();
    addEnvironmentOptions(*command, args->environment);
    command->callback([&console, args, direction] { run(console, *args, direction); });
}

} // namespace

void addFullCommands(CLI::App& app, Console& console) {
    addCommand(app, console, Direction::Backup);
    addCommand(app, console, Direction::Restore);
}

} // namespace vellarion::cli

#include "cli/RemoteLocation.h"

#include "cli/Console.h"
#include "cli/Interrupt.h"
#include "cli/JobOutput.h"
#include "cli/KeptVersions.h"
#include "cli/Passwords.h"
#include "core/remote/RemoteFolder.h"
#include "core/services/PathMapper.h"

#include <CLI/CLI.hpp>
#include <cstdio>

namespace vellarion::cli {

// The transfers on the progress line: "sending default.dat 45% (12.0 of 27.0 MiB)".
class RemoteProgress : public TransferReport {
public:
    explicit RemoteProgress(Console& console) : console_(console) {}

    void transferStarted(const std::string& name, bool sending) override {
        what_ = say(sending ? E_("sending %1") : E_("fetching %1"), {name});
        console_.progress(what_);
    }
    void transferProgress(std::uint64_t bytes, std::uint64_t total) override {
        if (total == 0 || !console_.progressDue()) {
            return;
        }
        char done[16];
        char whole[16];
        std::snprintf(done, sizeof done, "%.1f", static_cast<double>(bytes) / 1048576);
        std::snprintf(whole, sizeof whole, "%.1f", static_cast<double>(total) / 1048576);
        console_.progress(what_ + " " + std::to_string(bytes * 100 / total) + "% " +
                          say(E_("(%1 of %2 MiB)"), {done, whole}));
    }
    bool stopRequested() const override { return StopOnInterrupt::interrupted(); }

private:
    Console& console_;
    std::string what_;
};

CommandLocation::CommandLocation(Console& console, std::string typed)
    : console_(console), typed_(std::move(typed)) {
    if (!isRemoteLocation(typed_)) {
        return;
    }
    const RemotePath where = parseRemotePath(typed_);
    rclone_ = std::make_unique<Rclone>();
    progress_ = std::make_unique<RemoteProgress>(console_);
    remoteStep([&] { folder_ = std::make_unique<RemoteFolder>(*rclone_, where, *progress_); });
}

CommandLocation::~CommandLocation() = default;

const std::string& CommandLocation::location() const {
    return folder_ ? folder_->location() : typed_;
}

std::string CommandLocation::shown(const std::string& text) const {
    return folder_ ? folder_->shown(text) : text;
}

void CommandLocation::remoteStep(const std::function<void()>& step) {
    try {
        step();
    } catch (const Error&) {
        // Ctrl-C reaches rclone too: its end is the interruption's.
        console_.endProgress();
        StopOnInterrupt::throwIfInterrupted();
        throw;
    }
    console_.endProgress();
}

void CommandLocation::run(const std::function<void()>& job) const {
    try {
        job();
    } catch (const BrowserRunning& e) {
        throw BrowserRunning(shown(e.what()));
    } catch (const Error& e) {
        if (!folder_) {
            throw;
        }
        throw Error(shown(e.what()));
    }
}

void CommandLocation::fetch(const std::vector<std::string>& names) {
    if (!folder_) {
        return;
    }
    remoteStep([&] {
        for (const std::string& name : names) {
            folder_->fetch(name);
        }
    });
}

void CommandLocation::send(SystemServices& services, PasswordSource& passwords,
                           const std::vector<std::string>& archives, int keep) {
    if (!folder_) {
        return;
    }
    RemoteFolder::Sent sent;
    remoteStep([&] {
        sent = folder_->send(services, archives, keep, [&](const std::string& path) {
            return std::optional<Secret>(passwords.forArchive(shown(path)));
        });
    });
    for (const std::string& name : sent.archives) {
        console_.err() << "vellarion-cli: " << terminalText(say(E_("sent %1"), {name})) << '\n';
    }
    tellRetention(console_, sent.retention, [](const std::string& name) { return name; });
}

void addAllowPlainOption(CLI::App& command, bool& allowPlain) {
    command.add_flag("--allow-plain", allowPlain,
                     E_("Send a backup that holds passwords or cookies to an rclone remote without "
                        "--encrypt"));
}

void refusePlainSecretsOffMachine(const std::string& location, bool encrypt, bool allowPlain) {
    if (!isRemoteLocation(location) || encrypt || allowPlain) {
        return;
    }
    throw Error(say(E_("the archive would hold passwords and cookies readable by anyone who gets "
                       "the file, and it would leave this machine for %1; give --encrypt (the "
                       "password from --password-file or VELLARION_PASSWORD), or --allow-plain to "
                       "send it as it is"),
                    {location}));
}

} // namespace vellarion::cli

#include "cli/JobOutput.h"

#include "cli/Console.h"
#include "cli/CoreTexts.h"
#include "cli/Interrupt.h"
#include "cli/Passwords.h"
#include "core/browsers/DataSet.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/ProgramPath.h"
#include "core/services/Text.h"
#include "core/text/Catalogue.h"
#include "core/wizards/Messages.h"

#include <algorithm>

namespace vellarion::cli {

JobOutput::JobOutput(Console& console, const PathMapper& paths, const std::string& folder)
    : console_(console), paths_(paths), folder_(folder) {}

void JobOutput::showMessage(const std::string& text) {
    console_.warning(userText(text));
}

void JobOutput::refuse(const std::string& text) {
    throw Error(text);
}

void JobOutput::browserRunning(const std::string& text) {
    throw BrowserRunning(holder_.empty() ? text : translated(text) + " " + holder_);
}

std::optional<std::chrono::milliseconds> JobOutput::browserHolds(std::string_view browser,
                                                                 const std::string& folder) {
    const std::string name(browser);
    if (!browserWait_) {
        holder_ = translated(formatText(N_("%1 держит %2; --wait ждёт, пока он его отпустит."),
                                        {name, paths_.toDisplay(folder)}));
        return std::nullopt;
    }
    holder_.clear();
    console_.warning(formatText(N_("%1 держит %2: ожидание, пока он его отпустит…"),
                                {name, paths_.toDisplay(folder)}));
    return browserWait_;
}

bool JobOutput::waitForOtherJob(const std::string& folder) {
    if (noWait_) {
        refuse(formatText(kFolderInUse, {paths_.toDisplay(folder)}));
    }
    console_.warning(formatText(N_("С папкой %1 работает другое задание программы: ожидание его "
                                   "конца."),
                                {paths_.toDisplay(folder)}));
    return true;
}

bool JobOutput::replaceArchive(const std::string& path) {
    if (!replace_) {
        throw Error(say(E_("\"%1\" exists already; give --replace to replace it"),
                        {paths_.toDisplay(path)}));
    }
    return true;
}

void JobOutput::itemsWithoutData(Direction direction,
                                 const std::vector<const SelectiveItem*>& items) {
    // Items simply absent are no fault: one line names them all, by the
    // keys --items takes.
    std::vector<std::string> keys;
    for (const SelectiveItem* item : items) {
        keys.emplace_back(item->key.empty() ? translated(item->caption) : std::string(item->key));
    }
    if (keys.empty()) {
        return;
    }
    console_.endProgress();
    console_.err() << "vellarion-cli: "
                   << terminalText(say(direction == Direction::Backup
                                           ? E_("Not in this profile: %1")
                                           : E_("Not in this archive: %1"),
                                       {joinStrings(keys, ", ")}))
                   << '\n'
                   << std::flush;
}

void JobOutput::progressShow() {
    bar_ = 0;
    file_.clear();
    draw();
}

void JobOutput::progressStep(int amount) {
    bar_ = std::clamp(bar_.value_or(0) + amount, 0, 100);
    file_.clear();
    draw();
}

void JobOutput::progressSet(int position) {
    bar_ = std::clamp(position, 0, 100);
}

void JobOutput::progressHide() {
    bar_.reset();
    console_.endProgress();
}

void JobOutput::fileStarted(const std::string& path) {
    const std::string below = relativeTo(path, folder_);
    file_ = paths_.toDisplay(below.empty() ? path : below);
    draw();
}

void JobOutput::fileProgress(std::int32_t position, std::int32_t total) {
    draw(position, total);
}

void JobOutput::fileSkipped(const std::string&, const std::string& reason) {
    ++leftOut_;
    console_.warning(userText(reason));
}

bool JobOutput::stopRequested() const {
    return StopOnInterrupt::interrupted();
}

void JobOutput::draw(std::int64_t position, std::int64_t total) {
    if (!console_.progressDue()) {
        return;
    }
    std::string line;
    if (bar_) {
        line = std::to_string(*bar_) + "%";
        if (!file_.empty()) {
            line += "  ";
        }
    }
    line += file_;
    if (total > 0) {
        line += " " + std::to_string(position * 100 / total) + "%";
    }
    console_.progress(line);
}

std::optional<Secret> JobOutput::encryptionPassword() {
    return passwords_ != nullptr ? passwords_->forNewArchive() : std::nullopt;
}

std::optional<Secret> JobOutput::archivePassword(const std::string& path) {
    if (passwords_ == nullptr) {
        return std::nullopt;
    }
    return passwords_->forArchive(paths_.toDisplay(path));
}

void endJob(Console& console, JobOutcome outcome) {
    console.endProgress();
    if (outcome == JobOutcome::Done) {
        // A stop that came once nothing could be undone (a restore's files
        // swapped in, an archive in its place) is no stop: the job is done.
        if (StopOnInterrupt::interrupted()) {
            console.warning(N_("Остановка пришла, когда работа была уже сделана: она завершена."));
        }
        return;
    }
    StopOnInterrupt::throwIfInterrupted();
    throw Error(say(E_("the job did not finish")));
}

} // namespace vellarion::cli

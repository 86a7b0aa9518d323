#include "cli/JobOutput.h"

#include "cli/Console.h"
#include "cli/Interrupt.h"
#include "cli/Passwords.h"
#include "core/browsers/DataSet.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/ProgramPath.h"
#include "core/text/Catalogue.h"

#include <algorithm>

namespace vellarion::cli {

JobOutput::JobOutput(Console& console, const PathMapper& paths, const std::string& folder)
    : console_(console), paths_(paths), folder_(folder) {}

void JobOutput::showMessage(const std::string& text) {
    console_.warning(translated(text));
}

void JobOutput::refuse(const std::string& text) {
    throw Error(text);
}

void JobOutput::browserRunning(const std::string& text) {
    throw BrowserRunning(text);
}

bool JobOutput::replaceArchive(const std::string& path) {
    if (!replace_) {
        throw Error("\"" + paths_.toDisplay(path) +
                    "\" exists already; give --replace to replace it");
    }
    return true;
}

void JobOutput::itemsWithoutData(Direction direction,
                                 const std::vector<const SelectiveItem*>& items) {
    for (const SelectiveItem* item : items) {
        const std::string named = std::string(item->key) + " (" + translated(item->caption) + ")";
        console_.warning(direction == Direction::Backup
                             ? "nothing of " + named + " was found to back up"
                             : "the archive holds nothing of " + named + "; it was not restored");
    }
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
    console_.warning(translated(reason));
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
    throw Error("the job did not finish");
}

} // namespace vellarion::cli

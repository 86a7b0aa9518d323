#pragma once

// What the engine suites share: a front end that writes down what a job
// told it, one window's worth of engine, and services on no Windows prefix.
#include "core/browsers/DataSet.h"
#include "core/services/ServicesFactory.h"
#include "core/wizards/JobReporter.h"
#include "core/wizards/WizardState.h"

#include <cctype>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vellarion::test {

// What a job told its front end.
class RecordingReporter : public JobReporter {
public:
    // In order: "message: …", "refused: …", "busy", "idle", "started",
    // "finished".
    std::vector<std::string> log;
    // The text of every message box, refusals included.
    std::vector<std::string> messages;
    // The shared progress window: "show", each step's amount, "set 100",
    // "hide", in order.
    std::vector<std::string> progress;
    std::vector<std::string> unticked;
    std::vector<bool> busyCalls;
    int packingStarted = 0;
    // Each file the codec announced, by its full path.
    std::vector<std::string> files;
    bool progressSeen = false;
    // A stop asked for from the start, or once more than this many files
    // have begun.
    bool stopNow = false;
    int stopAfter = -1;
    // The archives a backup asked to replace, and the answer it gets.
    std::vector<std::string> replaceQuestions;
    bool replaceAnswer = true;

    void showMessage(const std::string& text) override {
        log.push_back("message: " + text);
        messages.push_back(text);
    }
    void refuse(const std::string& text) override {
        log.push_back("refused: " + text);
        messages.push_back(text);
    }
    void busy(bool on) override {
        log.push_back(on ? "busy" : "idle");
        busyCalls.push_back(on);
    }
    void jobStarted() override { log.push_back("started"); }
    void jobFinished() override { log.push_back("finished"); }
    void progressShow() override { progress.emplace_back("show"); }
    void progressStep(int amount) override { progress.push_back(std::to_string(amount)); }
    void progressSet(int position) override {
        progress.push_back("set " + std::to_string(position));
    }
    void progressHide() override { progress.emplace_back("hide"); }
    void untick(std::string_view box) override { unticked.emplace_back(box); }
    // Each file left out of a backup, with what the user was told.
    std::vector<std::string> skipped;
    void fileSkipped(const std::string&, const std::string& reason) override {
        skipped.push_back(reason);
    }
    void packingStarts() override { ++packingStarted; }
    void fileStarted(const std::string& path) override { files.push_back(path); }
    void fileProgress(std::int32_t position, std::int32_t total) override {
        progressSeen = true;
        EXPECT_LE(position, total);
    }
    bool replaceArchive(const std::string& path) override {
        replaceQuestions.push_back(path);
        return replaceAnswer;
    }
    bool stopRequested() const override {
        return stopNow || (stopAfter >= 0 && files.size() > static_cast<std::size_t>(stopAfter));
    }

    // The sum of the progress steps.
    int stepTotal() const {
        int total = 0;
        for (const std::string& p : progress) {
            if (!p.empty() && (std::isdigit(static_cast<unsigned char>(p[0])) || p[0] == '-')) {
                total += std::stoi(p);
            }
        }
        return total;
    }
};

// One window's worth of engine: its state, a recording front end, the job.
template <class Job, class Reporter = RecordingReporter> struct Wizard {
    Wizard(SystemServices& services, const BrowserDataSet& data)
        : job(services, data, state, reporter) {}

    WizardState state;
    Reporter reporter;
    Job job;
};

// Services on no Windows prefix: only native paths and custom locations.
inline std::unique_ptr<SystemServices> plainServices() {
#ifdef _WIN32
    return makeSystemServices();
#else
    return makeSystemServices({}, ProcessEnvironment{});
#endif
}

} // namespace vellarion::test

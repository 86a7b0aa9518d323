#include "core/wizards/Job.h"

#include "core/archive/JvZlibMultiple.h"
#include "core/wizards/Messages.h"

namespace vellarion {

bool WizardJob::activate() {
    if (!searchesAtActivation()) {
        return true;
    }
    const bool found = locate();
    if (!found) {
        reporter_.showMessage(notFoundMessage());
    }
    return found;
}

bool backupLocationGiven(std::string_view location) {
    return location != kBackupLocationPlaceholder && !isBlank(location);
}

BusyCursor::BusyCursor(JobReporter& reporter, bool on) : reporter_(reporter), on_(on) {
    if (on_) {
        reporter_.busy(true);
    }
}

BusyCursor::~BusyCursor() {
    if (on_) {
        reporter_.busy(false);
    }
}

void reportCodecEvents(TJvZlibMultiple& codec, JobReporter& reporter) {
    const auto stopIfAsked = [&reporter](TJvZlibMultiple& sender) {
        if (reporter.stopRequested()) {
            sender.StopCompression();
            sender.StopDecompression();
        }
    };
    codec.OnCompressingFile = [&reporter, stopIfAsked](TJvZlibMultiple& sender,
                                                       const std::string& file) {
        reporter.fileStarted(file);
        stopIfAsked(sender);
    };
    codec.OnDecompressingFile = [&reporter, stopIfAsked](TJvZlibMultiple& sender,
                                                         const std::string& file, bool&) {
        reporter.fileStarted(file);
        stopIfAsked(sender);
    };
    codec.OnProgress = [&reporter, stopIfAsked](TJvZlibMultiple& sender, std::int32_t position,
                                                std::int32_t total) {
        reporter.fileProgress(position, total);
        stopIfAsked(sender);
    };
    codec.OnFileSkip = [&reporter](TJvZlibMultiple&, const std::string& file, const std::string&,
                                   const std::string& message) {
        reporter.fileSkipped(file, message);
    };
}

} // namespace vellarion

#include "cli/Interrupt.h"

#include "cli/Console.h"

#include <atomic>
#include <csignal>

namespace vellarion::cli {

namespace {

// Set in the signal handler, read by the job (possibly from the codec's
// threads): a lock-free atomic is safe in both places.
std::atomic<bool> interruptedFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

extern "C" void onInterrupt(int) {
    interruptedFlag = true;
}

} // namespace

StopOnInterrupt::StopOnInterrupt() {
    interruptedFlag = false;
    previousInt_ = std::signal(SIGINT, onInterrupt);
    previousTerm_ = std::signal(SIGTERM, onInterrupt);
}

StopOnInterrupt::~StopOnInterrupt() {
    std::signal(SIGINT, previousInt_);
    std::signal(SIGTERM, previousTerm_);
}

bool StopOnInterrupt::interrupted() {
    return interruptedFlag;
}

void StopOnInterrupt::throwIfInterrupted() {
    if (interruptedFlag) {
        throw Interrupted();
    }
}

} // namespace vellarion::cli

#include "cli/Interrupt.h"

#include "archive/JvZlibMultiple.h"
#include "cli/Console.h"

#include <atomic>
#include <csignal>

namespace vellarion::cli {

namespace {

// The codec a command is running, for the signal handler.
std::atomic<TJvZlibMultiple*> runningCodec{nullptr};
volatile std::sig_atomic_t interruptedFlag = 0;

extern "C" void onInterrupt(int) {
    interruptedFlag = 1;
    if (TJvZlibMultiple* codec = runningCodec.load()) {
        codec->StopCompression();
        codec->StopDecompression();
    }
}

static_assert(std::atomic<bool>::is_always_lock_free,
              "the stop flags are set from a signal handler");

} // namespace

InterruptGuard::InterruptGuard(TJvZlibMultiple* codec) {
    interruptedFlag = 0;
    runningCodec = codec;
    previousInt_ = std::signal(SIGINT, onInterrupt);
    previousTerm_ = std::signal(SIGTERM, onInterrupt);
}

InterruptGuard::~InterruptGuard() {
    std::signal(SIGINT, previousInt_);
    std::signal(SIGTERM, previousTerm_);
    runningCodec = nullptr;
}

bool InterruptGuard::raised() {
    return interruptedFlag != 0;
}

void InterruptGuard::throwIfRaised() {
    if (raised()) {
        throw Interrupted();
    }
}

} // namespace vellarion::cli

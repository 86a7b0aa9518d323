#include "cli/Interrupt.h"

#include "archive/JvZlibMultiple.h"
#include "cli/Console.h"

#include <atomic>
#include <csignal>

namespace vellarion::cli {

namespace {

// The codec a command is running, for the interrupt handler.
std::atomic<TJvZlibMultiple*> runningCodec{nullptr};
volatile std::sig_atomic_t interruptedFlag = 0;

void stop(TJvZlibMultiple* codec) {
    if (codec != nullptr) {
        codec->StopCompression();
        codec->StopDecompression();
    }
}

extern "C" void onInterrupt(int) {
    interruptedFlag = 1;
    stop(runningCodec.load());
}

static_assert(std::atomic<bool>::is_always_lock_free,
              "the stop flags are set from a signal handler");
static_assert(std::atomic<TJvZlibMultiple*>::is_always_lock_free,
              "the handler reads the codec from a signal handler");

} // namespace

InterruptStopsCodec::InterruptStopsCodec() {
    interruptedFlag = 0;
    runningCodec = nullptr;
    previousInt_ = std::signal(SIGINT, onInterrupt);
    previousTerm_ = std::signal(SIGTERM, onInterrupt);
}

InterruptStopsCodec::InterruptStopsCodec(TJvZlibMultiple& codec) : InterruptStopsCodec() {
    watch(&codec);
}

InterruptStopsCodec::~InterruptStopsCodec() {
    std::signal(SIGINT, previousInt_);
    std::signal(SIGTERM, previousTerm_);
    runningCodec = nullptr;
}

void InterruptStopsCodec::watch(TJvZlibMultiple* codec) {
    runningCodec = codec;
    if (interruptedFlag) {
        stop(codec);
    }
}

bool InterruptStopsCodec::interrupted() {
    return interruptedFlag != 0;
}

void InterruptStopsCodec::throwIfInterrupted() {
    if (interruptedFlag) {
        throw Interrupted();
    }
}

} // namespace vellarion::cli

#pragma once

namespace vellarion {
class TJvZlibMultiple;
}

namespace vellarion::cli {

// While alive, Ctrl-C (or a termination request) does not kill the process:
// it raises a flag, and stops the codec given (if any) at its next chunk, so
// that no partial archive or file is left behind. The command then ends with
// throwIfRaised(). One at a time.
class InterruptGuard {
public:
    explicit InterruptGuard(TJvZlibMultiple* codec = nullptr);
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // The user interrupted the command.
    static bool raised();
    // Ends the command (throws Interrupted) when the user interrupted it.
    static void throwIfRaised();

private:
    void (*previousInt_)(int);
    void (*previousTerm_)(int);
};

} // namespace vellarion::cli

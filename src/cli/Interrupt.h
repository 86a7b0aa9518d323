#pragma once

namespace vellarion::cli {

// While alive, Ctrl-C (or a termination request) does not kill the process:
// it raises a flag that the running job reads between the codec's chunks
// and between its own steps (JobOutput::stopRequested), so that the job
// stops cleanly and leaves no partial archive or file behind.
// throwIfInterrupted() then ends the command.
class StopOnInterrupt {
public:
    StopOnInterrupt();
    ~StopOnInterrupt();
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

    static bool interrupted();
    static void throwIfInterrupted();

private:
    void (*previousInt_)(int);
    void (*previousTerm_)(int);
};

} // namespace vellarion::cli

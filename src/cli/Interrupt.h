#pragma once

namespace vellarion {
class TJvZlibMultiple;
}

namespace vellarion::cli {

// While alive, Ctrl-C (or a termination request) does not kill the process:
// it stops the watched codec at its next chunk, and a codec watched after it
// came before it starts, so that no partial archive or file is left behind.
// throwIfInterrupted() then ends the command.
class InterruptStopsCodec {
public:
    InterruptStopsCodec();
    explicit InterruptStopsCodec(TJvZlibMultiple& codec);
    ~InterruptStopsCodec();
    InterruptStopsCodec(const InterruptStopsCodec&) = delete;
    InterruptStopsCodec& operator=(const InterruptStopsCodec&) = delete;

    // The codec to stop from now on (null: none).
    static void watch(TJvZlibMultiple* codec);
    static bool interrupted();
    static void throwIfInterrupted();

private:
    void (*previousInt_)(int);
    void (*previousTerm_)(int);
};

} // namespace vellarion::cli

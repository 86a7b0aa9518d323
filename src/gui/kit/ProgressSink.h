#pragma once

namespace vellarion {

// The shared progress bar that a selective job reports to: show it, step it
// after each unit of work, set it to 100 at the end, hide it. The position is
// always held within 0 to 100.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;

    // Makes the bar visible. A bar that was hidden starts again from 0; one
    // that is still visible (a job stopped with an error) keeps its position.
    virtual void showProgress() = 0;
    // Adds a signed amount to the position.
    virtual void stepBy(int delta) = 0;
    virtual void setPosition(int position) = 0;
    virtual int position() const = 0;
    virtual void hideProgress() = 0;
};

} // namespace vellarion

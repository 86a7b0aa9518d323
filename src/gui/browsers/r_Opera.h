#pragma once

#include "gui/browsers/b_Opera.h"

namespace vellarion {

// "Restore" of Opera: the backup window with the archive list beside the
// installation folders. An archive of one installation restores into any of
// them, or into a custom location.
class Tfr_Opera : public Tfb_Opera {
    Q_OBJECT
public:
    explicit Tfr_Opera(ShellContext& context, QWidget* parent = nullptr);
};

} // namespace vellarion

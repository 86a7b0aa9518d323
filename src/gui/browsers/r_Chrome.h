#pragma once

#include "gui/browsers/b_Chrome.h"

namespace vellarion {

// "Restore" of Chrome: the archive list beside the profile list.
class Tfr_Chrome : public Tfb_Chrome {
    Q_OBJECT
public:
    explicit Tfr_Chrome(ShellContext& context, QWidget* parent = nullptr);
};

} // namespace vellarion

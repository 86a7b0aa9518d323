#pragma once

#include "gui/browsers/b_IE.h"

namespace vellarion {

// "Backup" of Firefox: the selective backup window over Firefox's profiles
// and its sixteen items. Flock's windows derive from it.
class Tfb_Firefox : public Tfb_IE {
    Q_OBJECT
public:
    explicit Tfb_Firefox(ShellContext& context, QWidget* parent = nullptr);

protected:
    using Tfb_IE::Tfb_IE;
};

} // namespace vellarion

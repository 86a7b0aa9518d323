#pragma once

#include "gui/browsers/b_IE.h"

namespace vellarion {

// "Restore" of Internet Explorer: it restores "backup_ie.dat" of the backup
// location, so it lists no archives.
class Tfr_IE : public Tfb_IE {
    Q_OBJECT
public:
    explicit Tfr_IE(ShellContext& context, QWidget* parent = nullptr);

    // Each activation sets the title only: Finish stays as the last job
    // left it.
    void FormActivate() override;
};

} // namespace vellarion

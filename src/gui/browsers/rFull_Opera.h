#pragma once

#include "gui/browsers/bFull_Opera.h"

namespace vellarion {

// "Safe Restore" of Opera: "fbackup_opera.dat" unpacked over the data root,
// then "fbackup_opera2.dat" over the local mail store when it is there.
class Tffr_Opera : public Tffb_Opera {
    Q_OBJECT
public:
    explicit Tffr_Opera(ShellContext& context, QWidget* parent = nullptr);
};

} // namespace vellarion

#pragma once

#include "gui/browsers/bFull_IE.h"

namespace vellarion {

// "Safe Restore" of Internet Explorer: the items put back from
// "fbackup_ie.dat".
class Tffr_IE : public Tffb_IE {
    Q_OBJECT
public:
    explicit Tffr_IE(ShellContext& context, QWidget* parent = nullptr);
};

} // namespace vellarion

#pragma once

#include "gui/browsers/bFull_Firefox.h"

namespace vellarion {

// "Safe Restore" of Firefox: the archive unpacked over the data root.
class Tffr_Firefox : public Tffb_Firefox {
    Q_OBJECT
public:
    explicit Tffr_Firefox(ShellContext& context, QWidget* parent = nullptr);
};

} // namespace vellarion

#pragma once

#include "gui/browsers/r_Firefox.h"

namespace vellarion {

// "Backup" and "Restore" of a member of the Chromium family (Edge, Brave,
// ...): Chrome's windows on the member's data set, with its texts.
class Tfb_Member : public Tfb_Firefox {
    Q_OBJECT
public:
    Tfb_Member(ShellContext& context, const BrowserDataSet& data, Direction direction,
               QWidget* parent = nullptr);
};

// "Restore" of a member of the Firefox family (LibreWolf, ...): Firefox's
// restore window on the member's data set.
class Tfr_Member : public Tfr_Firefox {
    Q_OBJECT
public:
    Tfr_Member(ShellContext& context, const BrowserDataSet& data, QWidget* parent = nullptr);
};

} // namespace vellarion

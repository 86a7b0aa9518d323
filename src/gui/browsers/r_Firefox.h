#pragma once

#include "gui/browsers/b_Firefox.h"

class QCheckBox;

namespace vellarion {

// "Restore" of Firefox: the archive list beside the profile list, a box that
// deletes the archive once it has been restored and, for the Firefox of this
// machine, one that adds a custom location to its profiles.
class Tfr_Firefox : public Tfb_Firefox {
    Q_OBJECT
public:
    explicit Tfr_Firefox(ShellContext& context, QWidget* parent = nullptr);

    // "Удаление файла резервной копии после завершения", unticked at start.
    QCheckBox* CheckBox17;
    // On this machine's own browser: the custom location restored into
    // becomes one of its profiles. Null elsewhere.
    QCheckBox* CheckBox19;

protected:
    // The window on another member of Firefox's family.
    Tfr_Firefox(ShellContext& context, const BrowserDataSet& data, QWidget* parent);

    bool deletesArchiveAfterRestore() const override;
    bool registersProfile() const override;
};

} // namespace vellarion

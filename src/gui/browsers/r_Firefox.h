#pragma once

#include "gui/browsers/b_Firefox.h"

class QCheckBox;

namespace vellarion {

// "Restore" of Firefox: the archive list beside the profile list, and a box
// that deletes the archive once it has been restored.
class Tfr_Firefox : public Tfb_Firefox {
    Q_OBJECT
public:
    explicit Tfr_Firefox(ShellContext& context, QWidget* parent = nullptr);

    // "Удаление файла резервной копии после завершения", unticked at start.
    QCheckBox* CheckBox17;

protected:
    bool deletesArchiveAfterRestore() const override;
};

} // namespace vellarion

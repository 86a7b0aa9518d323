#pragma once

#include "gui/wizards/FullWizardForm.h"

namespace vellarion {

// "Safe Backup" of Internet Explorer, and the root of the full wizard
// family: every other member derives from it and shares its window and
// handlers (FullWizardForm). It saves the items of the selective window,
// all of them, and steps its own bar through them; it shows no file names.
class Tffb_IE : public FullWizardForm {
    Q_OBJECT
public:
    explicit Tffb_IE(ShellContext& context, QWidget* parent = nullptr);

protected:
    using FullWizardForm::FullWizardForm;
};

} // namespace vellarion

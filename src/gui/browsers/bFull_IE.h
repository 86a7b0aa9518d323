#pragma once

#include "gui/wizards/FullWizardForm.h"

namespace vellarion {

// The full backup window of Internet Explorer, the root of the full wizard
// family: every other member derives from it and shares its window and
// handlers (FullWizardForm). Internet Explorer's own activation and job
// come with its data set.
class Tffb_IE : public FullWizardForm {
    Q_OBJECT
protected:
    using FullWizardForm::FullWizardForm;
};

} // namespace vellarion

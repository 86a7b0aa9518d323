#pragma once

#include "gui/wizards/SelectiveWizardForm.h"

namespace vellarion {

// The root of the selective windows ("Backup" and "Restore" of every
// browser): the Internet Explorer backup window, from which the others
// derive. It holds no more than the shared window; Internet Explorer's own
// activation and job come with its data set.
class Tfb_IE : public SelectiveWizardForm {
    Q_OBJECT
protected:
    using SelectiveWizardForm::SelectiveWizardForm;
};

} // namespace vellarion

#pragma once

#include "gui/wizards/SelectiveWizardForm.h"

namespace vellarion {

// "Backup" of Internet Explorer, and the root of the selective windows
// ("Backup" and "Restore" of every browser), which derive from it. Its
// items are mostly registry keys; there are no profiles to choose (the list
// shows one disabled entry) and no custom location, and the data is searched
// when Next is pressed.
class Tfb_IE : public SelectiveWizardForm {
    Q_OBJECT
public:
    explicit Tfb_IE(ShellContext& context, QWidget* parent = nullptr);

protected:
    using SelectiveWizardForm::SelectiveWizardForm;
};

} // namespace vellarion

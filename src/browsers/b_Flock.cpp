#include "browsers/b_Flock.h"

#include "app/Icons.h"

namespace vellarion {

SelectiveWizardForm::Look Tfb_Flock::flockLook() {
    return {QStringLiteral(":/browsers/flock-banner.svg"), iconResource(IconId::Flock)};
}

Tfb_Flock::Tfb_Flock(ShellContext& context, QWidget* parent)
    : Tfb_Flock(context, Mode::Backup, parent) {}

Tfb_Flock::Tfb_Flock(ShellContext& context, Mode mode, QWidget* parent)
    : Tfb_Firefox(context, flockDataSet(), mode, flockLook(), parent) {}

} // namespace vellarion

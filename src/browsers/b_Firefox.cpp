#include "browsers/b_Firefox.h"

#include "app/Icons.h"

namespace vellarion {

SelectiveWizardForm::Look Tfb_Firefox::firefoxLook() {
    return {QStringLiteral(":/browsers/firefox-banner.svg"), iconResource(IconId::Firefox)};
}

Tfb_Firefox::Tfb_Firefox(ShellContext& context, QWidget* parent)
    : Tfb_Firefox(context, firefoxDataSet(), Mode::Backup, firefoxLook(), parent) {}

Tfb_Firefox::Tfb_Firefox(ShellContext& context, const BrowserDataSet& data, Mode mode,
                         const Look& look, QWidget* parent)
    : Tfb_IE(context, data, mode, look, parent) {}

} // namespace vellarion

#include "browsers/b_IE.h"

// The browsers' banners live in the gui library's own resource file; a
// static library's resources must be pulled in by hand.
static void initBrowserResources() {
    Q_INIT_RESOURCE(browsers);
}

namespace vellarion {

Tfb_IE::Tfb_IE(ShellContext& context, const BrowserDataSet& data, Mode mode, const Look& look,
               QWidget* parent)
    : SelectiveWizardForm(context, data, mode, look, parent) {
    static const bool loaded = [] {
        initBrowserResources();
        return true;
    }();
    (void)loaded;
}

} // namespace vellarion

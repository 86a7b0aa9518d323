#pragma once

#include <QString>
#include <string_view>

namespace vellarion {

// The pictures of the wizard windows, our own drawings, by the browser's data
// set id ("firefox"). Both wizard families show the same banner and icon for
// a browser.

// The background of the full windows, over the whole client area.
QString fullWizardBackground();
// The banner strip across the top of a browser's windows.
QString browserBanner(std::string_view browserId);
// The browser's icon (the one the ribbon shows), drawn at 48 x 48.
QString browserIcon(std::string_view browserId);

} // namespace vellarion

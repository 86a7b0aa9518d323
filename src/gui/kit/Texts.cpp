#include "gui/kit/Texts.h"

#include "core/text/Catalogue.h"

namespace vellarion {

QString ui(const char* source) {
    return shownText(source);
}

QString shownText(std::string_view text) {
    return QString::fromStdString(translated(text));
}

} // namespace vellarion

#pragma once

#include <QUrl>

namespace vellarion {

// A page of the maker's web site ("/backup/", "/help/", ...).
QUrl makerPage(const char* path);
// The "mailto:" link to the maker's contact address.
QUrl contactLink();
// Hands a link to the desktop (browser, mail program). Failures, such as no
// program being associated, are ignored: there is nothing the user could do.
void openLink(const QUrl& url);

} // namespace vellarion

#pragma once

#include <string>

namespace vellarion::test {

inline std::string meta(const std::string& name, const std::string& value) {
    return "<META NAME=\"" + name + "\" CONTENT=\"" + value + "\">\r\n";
}

// An update page offering `version` as "Update.exe" under /files/ of the
// page's own server, with `more` META lines after the usual ones.
inline std::string updatePage(const std::string& version, const std::string& more = {}) {
    return "<html><head>\r\n" + meta("mxProduct", "Vellarion") + meta("mxVersion", version) +
           meta("mxClientSideName", "Update.exe") + meta("mxDownload", "/files/Update.exe") +
           meta("mxRunParameters", "/S /lang=ru") + more +
           "</head><body><p>What is new in this version</p></body></html>\r\n";
}

} // namespace vellarion::test

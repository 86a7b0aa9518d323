#pragma once

#include <string>
#include <string_view>

namespace vellarion {

// The maker's web server that holds the update page and the update files.
inline constexpr std::string_view kUpdateSiteHost = "vellarion.example.org";

// The address of the update page.
inline std::string updatePageUrl() {
    return "https://" + std::string(kUpdateSiteHost) + "/update.html";
}

} // namespace vellarion

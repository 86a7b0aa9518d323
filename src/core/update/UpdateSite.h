#pragma once

#include "core/Config.h"

#include <string>

namespace vellarion {

// The address of the update page on the maker's web server.
inline std::string updatePageUrl() {
    return std::string(config::kWebScheme) + "://" + config::kMakerHost + "/update.html";
}

} // namespace vellarion

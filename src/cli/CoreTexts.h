#pragma once

#include <string>
#include <string_view>

namespace vellarion::cli {

// A text of the core's as the command line shows it: in English as the core
// says it; in Russian the core's English messages (the codec's, the file
// errors', rclone's, with the system's reason in them) translated, what the
// catalogue knows translated by it, the rest as it is.
std::string userText(std::string_view text);

} // namespace vellarion::cli

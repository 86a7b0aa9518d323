#pragma once

#include <string>
#include <system_error>

namespace vellarion::cli {

// The system's reason for an error, as the user reads it after a message
// ("Cannot make the folder …: <reason>"): the common reasons (no such file
// or folder, permission denied, no space left, …) in the user's language
// from the catalogue, on Linux and Windows alike; any other in the system's
// own words.
std::string systemReason(const std::error_code& code);

} // namespace vellarion::cli

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace vellarion::cli {

// The system's reason for an error, as the user reads it after a message
// ("Cannot make the folder …: <reason>"): the common reasons (no such file
// or folder, permission denied, no space left, …) in the user's language
// from the catalogue, on Linux and Windows alike; any other, and every one
// in English, in the system's own words.
std::string systemReason(const std::error_code& code);

// The same for the system's words already in a text of the core's (as
// errorText gave them): a common reason in the user's language, none for
// other words.
std::optional<std::string> systemReasonOfWords(std::string_view words);

} // namespace vellarion::cli

#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace vellarion::test {

// Every file below `root` with its content, keyed by its path relative to
// `root` with "/" between the parts. Folders appear only through their files.
std::map<std::string, std::string> readTree(const std::filesystem::path& root);

} // namespace vellarion::test

#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vellarion::test {

// Every file below `root` with its content, keyed by its path relative to
// `root` with "/" between the parts. Folders appear only through their files.
std::map<std::string, std::string> readTree(const std::filesystem::path& root);

// The names whose content differs between two trees read by readTree ("" when
// alike): short enough to read when a test fails.
std::string differences(const std::map<std::string, std::string>& a,
                        const std::map<std::string, std::string>& b);

// The names of the files and folders directly in `dir`.
std::set<std::string> entriesOf(const std::filesystem::path& dir);
// The same in their sorted order, as a list.
std::vector<std::string> namesIn(const std::filesystem::path& dir);

// The names stored in a backup archive, as they are stored
// ("extensions\install.rdf").
std::set<std::string> storedNames(const std::filesystem::path& archive);

// Content that deflate cannot shrink, the same for the same seed.
std::string noise(std::size_t size, unsigned seed = 1);

} // namespace vellarion::test

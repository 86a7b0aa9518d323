#include "FileTree.h"

#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/services/PathMapper.h"

#include <algorithm>
#include <cstdint>

namespace vellarion::test {

std::map<std::string, std::string> readTree(const std::filesystem::path& root) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            std::string key = pathToUtf8(entry.path().lexically_relative(root));
            std::replace(key.begin(), key.end(), '\\', '/');
            tree[key] = readFile(entry.path());
        }
    }
    return tree;
}

std::string differences(const std::map<std::string, std::string>& a,
                        const std::map<std::string, std::string>& b) {
    std::string names;
    for (const auto& [name, content] : a) {
        if (!b.contains(name) || b.at(name) != content) {
            names += name + " ";
        }
    }
    for (const auto& [name, content] : b) {
        if (!a.contains(name)) {
            names += name + " ";
        }
    }
    return names;
}

std::set<std::string> entriesOf(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.insert(pathToUtf8(entry.path().filename()));
    }
    return names;
}

std::vector<std::string> namesIn(const std::filesystem::path& dir) {
    const std::set<std::string> names = entriesOf(dir);
    return {names.begin(), names.end()};
}

std::set<std::string> storedNames(const std::filesystem::path& archive) {
    std::vector<std::string> names;
    TJvZlibMultiple().ListStoredFiles(pathToUtf8(archive), names);
    return {names.begin(), names.end()};
}

std::string noise(std::size_t size, unsigned seed) {
    std::string out(size, '\0');
    std::uint64_t x = 0x9E3779B97F4A7C15ull * (seed + 1);
    for (char& c : out) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        c = static_cast<char>(x >> 56);
    }
    return out;
}

} // namespace vellarion::test

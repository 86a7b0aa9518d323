#pragma once

#include "FileTree.h"
#include "core/archive/JvZlibMultiple.h"

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion::test {

// A program path for a real path (on POSIX the native path is one).
std::string programPath(const std::filesystem::path& path);

// The system's texts for a missing file and for a missing folder on the way
// to one.
std::string missingFileText();
std::string missingPathText();

// Bytes from hex text ("00 01 61").
std::string fromHex(std::string_view hex);

// The 22 bytes of a folder holding only a file "a" with "abc".
std::string workedExample();

// A record made by hand with zlib itself, for archives the codec did not write.
std::string zlibStream(std::string_view content, int level = -1);
std::string record(std::string_view dir, std::string_view name, std::string_view content);
std::string rawRecord(std::string_view dir, std::string_view name, std::uint32_t uncompressedSize,
                      std::int32_t compressedSize, std::string_view data);

// Every regular file below root by its "/"-separated relative path (with
// its content, or for content over 64 bytes its size and a digest, which
// keeps failure messages readable), and every folder.
std::map<std::string, std::string> filesBelow(const std::filesystem::path& root);
std::string summary(const std::string& content);
std::set<std::string> foldersBelow(const std::filesystem::path& root);

// The text of the error f throws, or "no error".
template <class F> std::string errorOf(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

// Writes each event into a log line, in the order they are raised.
struct EventLog {
    std::vector<std::string> lines;
    void attach(TJvZlibMultiple& codec);
};

} // namespace vellarion::test

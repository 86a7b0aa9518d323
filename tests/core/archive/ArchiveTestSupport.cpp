#include "ArchiveTestSupport.h"

#include "TempDir.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"

#include <cstdint>
#include <zlib.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

namespace vellarion::test {

namespace fs = std::filesystem;

std::string programPath(const fs::path& path) {
    return pathToUtf8(path);
}

#ifdef _WIN32
std::string missingFileText() {
    return systemErrorText(ERROR_FILE_NOT_FOUND);
}
std::string missingPathText() {
    return systemErrorText(ERROR_PATH_NOT_FOUND);
}
#else
std::string missingFileText() {
    return systemErrorText(ENOENT);
}
std::string missingPathText() {
    return systemErrorText(ENOENT);
}
#endif

std::string fromHex(std::string_view hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size();) {
        if (hex[i] == ' ') {
            ++i;
            continue;
        }
        bytes.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
        i += 2;
    }
    return bytes;
}

std::string workedExample() {
    return fromHex("00 01 61 03 00 00 00 0B 00 00 00 78 9C 4B 4C 4A 06 00 02 4D 01 27");
}

std::string zlibStream(std::string_view content, int level) {
    uLongf size = compressBound(static_cast<uLong>(content.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(content.data()), static_cast<uLong>(content.size()),
              level);
    out.resize(size);
    return out;
}

std::string rawRecord(std::string_view dir, std::string_view name, std::uint32_t uncompressedSize,
                      std::int32_t compressedSize, std::string_view data) {
    std::string r;
    r.push_back(static_cast<char>(dir.size()));
    r += dir;
    r.push_back(static_cast<char>(name.size()));
    r += name;
    for (std::uint32_t v : {uncompressedSize, static_cast<std::uint32_t>(compressedSize)}) {
        for (int i = 0; i < 4; ++i) {
            r.push_back(static_cast<char>(v >> (8 * i)));
        }
    }
    r += data;
    return r;
}

std::string record(std::string_view dir, std::string_view name, std::string_view content) {
    const std::string data = zlibStream(content);
    return rawRecord(dir, name, static_cast<std::uint32_t>(content.size()),
                     static_cast<std::int32_t>(data.size()), data);
}

std::string summary(const std::string& content) {
    if (content.size() <= 64) {
        return content;
    }
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : content) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    return std::to_string(content.size()) + " bytes, digest " + std::to_string(hash);
}

std::map<std::string, std::string> filesBelow(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[pathToUtf8(entry.path().lexically_relative(root).generic_u8string())] =
                summary(readFile(entry.path()));
        }
    }
    return files;
}

std::set<std::string> foldersBelow(const fs::path& root) {
    std::set<std::string> folders;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_directory()) {
            folders.insert(pathToUtf8(entry.path().lexically_relative(root).generic_u8string()));
        }
    }
    return folders;
}

void EventLog::attach(TJvZlibMultiple& codec) {
    codec.OnCompressingFile = [this](TJvZlibMultiple&, const std::string& file) {
        lines.push_back("compressing " + file);
    };
    codec.OnCompressedFile = [this](TJvZlibMultiple&, const std::string& file) {
        lines.push_back("compressed " + file);
    };
    codec.OnProgress = [this](TJvZlibMultiple&, std::int32_t position, std::int32_t total) {
        lines.push_back("progress " + std::to_string(position) + "/" + std::to_string(total));
    };
    codec.OnDecompressingFile = [this](TJvZlibMultiple&, const std::string& file, bool&) {
        lines.push_back("decompressing " + file);
    };
    codec.OnDecompressedFile = [this](TJvZlibMultiple&, const std::string& file,
                                      std::uint32_t size) {
        lines.push_back("decompressed " + file + " " + std::to_string(size));
    };
    codec.OnCompletedAction = [this](TJvZlibMultiple&) { lines.push_back("completed"); };
    codec.OnFileSkip = [this](TJvZlibMultiple&, const std::string& file, const std::string& type,
                              const std::string& message) {
        lines.push_back("skip " + file + " " + type + " " + message);
    };
}

} // namespace vellarion::test

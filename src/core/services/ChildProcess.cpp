#include "core/services/ChildProcess.h"

#include "core/services/PathMapper.h"

#include <cstdlib>
#include <system_error>

namespace vellarion {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr wchar_t kPathSeparator = L';';
#else
constexpr char kPathSeparator = ':';
#endif

fs::path::string_type searchPath() {
#ifdef _WIN32
    const wchar_t* path = ::_wgetenv(L"PATH");
#else
    const char* path = std::getenv("PATH");
#endif
    return path != nullptr ? path : fs::path::string_type();
}

bool isProgramFile(const fs::path& file) {
    std::error_code ec;
    return fs::is_regular_file(file, ec);
}

} // namespace

std::optional<fs::path> findProgram(std::string_view name) {
    fs::path file = pathFromUtf8(name);
#ifdef _WIN32
    if (!file.has_extension()) {
        file += L".exe";
    }
#endif
    std::vector<fs::path> folders;
    try {
        folders.push_back(currentProgram().parent_path());
    } catch (const std::exception&) {
        // Not knowing where this program lies leaves PATH.
    }
    const fs::path::string_type path = searchPath();
    for (std::size_t begin = 0; begin <= path.size();) {
        std::size_t end = path.find(kPathSeparator, begin);
        if (end == fs::path::string_type::npos) {
            end = path.size();
        }
        // An empty entry would be the working folder: never searched.
        if (end > begin) {
            folders.emplace_back(path.substr(begin, end - begin));
        }
        begin = end + 1;
    }
    for (const fs::path& folder : folders) {
        if (folder.is_absolute() && isProgramFile(folder / file)) {
            return folder / file;
        }
    }
    return std::nullopt;
}

std::optional<fs::path> programToStart(const fs::path& program) {
    if (program.has_parent_path()) {
        return program;
    }
    return findProgram(pathToUtf8(program));
}

std::wstring windowsCommandLine(const std::vector<std::wstring>& arguments) {
    std::wstring line;
    for (const std::wstring& argument : arguments) {
        if (!line.empty()) {
            line += L' ';
        }
        line += L'"';
        std::size_t backslashes = 0;
        for (const wchar_t c : argument) {
            if (c == L'\\') {
                ++backslashes;
                continue;
            }
            // Backslashes before a quote are doubled and the quote escaped;
            // elsewhere they stand for themselves.
            line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
            backslashes = 0;
            line += c;
        }
        line.append(backslashes * 2, L'\\');
        line += L'"';
    }
    return line;
}

void LineSplitter::add(std::string_view piece) {
    pending_.append(piece);
    std::size_t begin = 0;
    for (std::size_t end; (end = pending_.find('\n', begin)) != std::string::npos;
         begin = end + 1) {
        std::string_view line(pending_.data() + begin, end - begin);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        line_(line);
    }
    pending_.erase(0, begin);
}

void LineSplitter::finish() {
    if (!pending_.empty()) {
        std::string last = std::move(pending_);
        pending_.clear();
        if (last.back() == '\r') {
            last.pop_back();
        }
        line_(last);
    }
}

} // namespace vellarion

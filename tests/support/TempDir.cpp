#include "TempDir.h"

#include <atomic>
#include <chrono>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vellarion::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate =
            fs::temp_directory_path() /
            ("vellarion-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only entries behind; make them removable first.
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

fs::path TempDir::operator/(std::string_view relative) const {
    return path_ / fs::path(std::u8string(relative.begin(), relative.end()));
}

void writeFile(const fs::path& file, std::string_view content) {
    if (file.has_parent_path()) {
        fs::create_directories(file.parent_path());
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) {
        throw std::runtime_error("cannot write test file");
    }
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        // Which file, and why: a test that meets this now and then says
        // enough to be understood from one failure.
        const int why = errno;
        std::error_code ec;
        const auto status = fs::symlink_status(file, ec);
        throw std::runtime_error("cannot read test file " + file.string() + ": " +
                                 std::generic_category().message(why) +
                                 (ec ? std::string(" (gone)")
                                     : " (type " + std::to_string(static_cast<int>(status.type())) +
                                           ")"));
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace vellarion::test

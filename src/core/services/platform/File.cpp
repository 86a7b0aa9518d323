#include "core/services/platform/File.h"

#include "core/services/RunToken.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vellarion::platform {

namespace {

class FileErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "vellarion-file"; }
    std::string message(int code) const override {
        return code == 2 ? "The name is a symbolic link" : "Not a regular file";
    }
};

} // namespace

std::error_code notRegularFileError() {
    static const FileErrorCategory category;
    return {1, category};
}

std::error_code linkRefusedError() {
    static const FileErrorCategory category;
    return {2, category};
}

File::~File() {
    if (handle_ != invalidHandle) {
        closeHandle(handle_);
    }
}

std::uint64_t File::copyRestByBuffer(File& to, std::error_code& ec) {
    constexpr std::size_t kChunk = 1 << 20;
    std::vector<char> buffer(kChunk);
    std::uint64_t copied = 0;
    for (;;) {
        const std::size_t n = read(buffer.data(), buffer.size(), ec);
        if (ec || n == 0) {
            return copied;
        }
        to.write(buffer.data(), n, ec);
        if (ec) {
            return copied;
        }
        copied += n;
    }
}

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, invalidHandle)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (handle_ != invalidHandle) {
            closeHandle(handle_);
        }
        handle_ = std::exchange(other.handle_, invalidHandle);
    }
    return *this;
}

bool File::isOpen() const {
    return handle_ != invalidHandle;
}

void File::close(std::error_code& ec) {
    ec.clear();
    if (handle_ != invalidHandle) {
        ec = closeHandle(std::exchange(handle_, invalidHandle));
    }
}

void replaceFileContent(const std::filesystem::path& path, std::string_view content,
                        std::error_code& ec) {
    namespace fs = std::filesystem;
    std::error_code unknown;
    const fs::file_status before = fs::status(path, unknown);
    fs::path temporary;
    File file;
    for (int attempt = 0;; ++attempt) {
        // A name of the program's own work: what a run killed here leaves is
        // removed by the next.
        temporary = path.parent_path() /
                    std::filesystem::path(std::string(kReservedPrefix) + newRunToken() + ".tmp");
        file = File::createNew(temporary, ec);
        if (!ec) {
            break;
        }
        if (ec != std::errc::file_exists || attempt == 100) {
            return;
        }
    }
    file.write(content.data(), content.size(), ec);
    if (!ec) {
        file.sync(ec);
    }
    std::error_code closed;
    file.close(closed);
    if (!ec) {
        ec = closed;
    }
    std::error_code ignored;
    if (!ec && fs::exists(before)) {
        fs::permissions(temporary, before.permissions(), ignored);
    }
    if (!ec) {
        replaceFile(temporary, path, ec);
    }
    if (ec) {
        fs::remove(temporary, ignored);
    }
}

} // namespace vellarion::platform

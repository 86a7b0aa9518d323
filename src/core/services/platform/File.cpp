#include "core/services/platform/File.h"

#include <string>
#include <utility>

namespace vellarion::platform {

namespace {

class FileErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "vellarion-file"; }
    std::string message(int) const override { return "Not a regular file"; }
};

} // namespace

std::error_code notRegularFileError() {
    static const FileErrorCategory category;
    return {1, category};
}

File::~File() {
    if (handle_ != invalidHandle) {
        closeHandle(handle_);
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

} // namespace vellarion::platform

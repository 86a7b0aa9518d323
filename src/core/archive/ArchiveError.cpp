#include "core/archive/ArchiveError.h"

#include <string>
#include <zlib.h>

namespace vellarion {

namespace {

std::string zlibText(int code) {
    switch (code) {
    case Z_DATA_ERROR:
        return "zlib returned: data error";
    case Z_STREAM_ERROR:
        return "zlib returned: Stream error";
    case Z_MEM_ERROR:
        return "zlib returned: memory error";
    case Z_BUF_ERROR:
        return "zlib returned: buffer error";
    case Z_VERSION_ERROR:
        return "zlib returned: version error";
    case Z_ERRNO:
        return "zlib returned: ERRNO";
    default:
        return "zLib returned: unknown error (" + std::to_string(code) + ")";
    }
}

} // namespace

ZlibError::ZlibError(int code) : Error(zlibText(code)), code_(code) {}

UnsafeNameError::UnsafeNameError(std::string_view storedPath)
    : Error("Refusing to unpack \"" + std::string(storedPath) +
            "\": the name points outside the target directory") {}

PathConflictError::PathConflictError(std::string_view storedPath, std::string_view shownPath,
                                     std::string_view what)
    : Error("Refusing to unpack \"" + std::string(storedPath) + "\": \"" + std::string(shownPath) +
            "\" is " + std::string(what)) {}

RecordTooLargeError::RecordTooLargeError(std::string_view fileName)
    : Error("Cannot store file \"" + std::string(fileName) +
            "\": its compressed data exceeds 4294967295 bytes") {}

} // namespace vellarion

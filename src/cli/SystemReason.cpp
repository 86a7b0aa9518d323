#include "cli/SystemReason.h"

#include "core/services/Error.h"
#include "core/text/Catalogue.h"

#include <cerrno>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
// Not in every SDK's headers.
#ifndef ERROR_DISK_QUOTA_EXCEEDED
#define ERROR_DISK_QUOTA_EXCEEDED 1295L
#endif
#endif

namespace vellarion::cli {

namespace {

// The common reasons, in the words the C library of Linux says them in: the
// catalogue then also knows them where the core's messages carry them.
struct Reason {
    std::errc condition;
    std::string_view words;
};
constexpr Reason kReasons[] = {
    {std::errc::no_such_file_or_directory, E_("No such file or directory")},
    {std::errc::permission_denied, E_("Permission denied")},
    {std::errc::operation_not_permitted, E_("Operation not permitted")},
    {std::errc::no_space_on_device, E_("No space left on device")},
    {std::errc::read_only_file_system, E_("Read-only file system")},
    {std::errc::file_exists, E_("File exists")},
    {std::errc::not_a_directory, E_("Not a directory")},
    {std::errc::is_a_directory, E_("Is a directory")},
    {std::errc::filename_too_long, E_("File name too long")},
    {std::errc::device_or_resource_busy, E_("Device or resource busy")},
    {std::errc::too_many_files_open, E_("Too many open files")},
    {std::errc::io_error, E_("Input/output error")},
    {std::errc::directory_not_empty, E_("Directory not empty")},
};

#ifdef EDQUOT
constexpr int kQuotaExceeded = EDQUOT;
#else
constexpr int kQuotaExceeded = -1;
#endif
constexpr std::string_view kQuotaWords = E_("Disk quota exceeded");

#ifdef _WIN32
// The Windows codes of the same reasons.
struct WindowsReason {
    DWORD code;
    std::string_view words;
};
constexpr WindowsReason kWindowsReasons[] = {
    {ERROR_FILE_NOT_FOUND, E_("No such file or directory")},
    {ERROR_PATH_NOT_FOUND, E_("No such file or directory")},
    {ERROR_BAD_NETPATH, E_("No such file or directory")},
    {ERROR_ACCESS_DENIED, E_("Permission denied")},
    {ERROR_PRIVILEGE_NOT_HELD, E_("Operation not permitted")},
    {ERROR_DISK_FULL, E_("No space left on device")},
    {ERROR_HANDLE_DISK_FULL, E_("No space left on device")},
    {ERROR_WRITE_PROTECT, E_("Read-only file system")},
    {ERROR_FILE_EXISTS, E_("File exists")},
    {ERROR_ALREADY_EXISTS, E_("File exists")},
    {ERROR_DIRECTORY, E_("Not a directory")},
    {ERROR_FILENAME_EXCED_RANGE, E_("File name too long")},
    {ERROR_NOT_ENOUGH_QUOTA, E_("Disk quota exceeded")},
    {ERROR_DISK_QUOTA_EXCEEDED, E_("Disk quota exceeded")},
    {ERROR_SHARING_VIOLATION, E_("Device or resource busy")},
    {ERROR_LOCK_VIOLATION, E_("Device or resource busy")},
    {ERROR_BUSY, E_("Device or resource busy")},
    {ERROR_TOO_MANY_OPEN_FILES, E_("Too many open files")},
    {ERROR_IO_DEVICE, E_("Input/output error")},
    {ERROR_CRC, E_("Input/output error")},
    {ERROR_DIR_NOT_EMPTY, E_("Directory not empty")},
};
#endif

std::string_view commonWords(const std::error_code& code) {
#ifdef _WIN32
    // The system's own codes, as the file functions report them.
    if (code.category() == std::system_category()) {
        for (const WindowsReason& reason : kWindowsReasons) {
            if (static_cast<DWORD>(code.value()) == reason.code) {
                return reason.words;
            }
        }
        return {};
    }
#endif
    if (code.category() == std::generic_category() || code.category() == std::system_category()) {
        for (const Reason& reason : kReasons) {
            if (code == reason.condition) {
                return reason.words;
            }
        }
        if (code.value() == kQuotaExceeded) {
            return kQuotaWords;
        }
    }
    return {};
}

} // namespace

std::string systemReason(const std::error_code& code) {
    const std::string_view words = commonWords(code);
    return words.empty() ? errorText(code) : translated(words);
}

} // namespace vellarion::cli

#include "cli/SystemReason.h"

#include "core/services/Error.h"
#include "core/text/Catalogue.h"

#include <cerrno>

#ifdef _WIN32
#include <windows.h>
// Not in every SDK's headers.
#ifndef ERROR_DISK_QUOTA_EXCEEDED
#define ERROR_DISK_QUOTA_EXCEEDED 1295L
#endif
#endif

namespace vellarion::cli {

namespace {

// The common reasons in the command line's own words: in English the
// system's words are shown instead, so that the windows, which show those,
// never meet these in the catalogue.
constexpr std::string_view kNoSuchFile = E_("no such file or folder");
constexpr std::string_view kPermissionDenied = E_("permission denied");
constexpr std::string_view kNotPermitted = E_("the operation is not permitted");
constexpr std::string_view kNoSpace = E_("no space left on the device");
constexpr std::string_view kReadOnly = E_("read-only file system");
constexpr std::string_view kExists = E_("the file exists");
constexpr std::string_view kNotAFolder = E_("not a folder");
constexpr std::string_view kIsAFolder = E_("is a folder");
constexpr std::string_view kNameTooLong = E_("the name is too long");
constexpr std::string_view kQuota = E_("the disk quota is exceeded");
constexpr std::string_view kBusy = E_("the device or resource is busy");
constexpr std::string_view kTooManyOpen = E_("too many open files");
constexpr std::string_view kInputOutput = E_("input/output error");
constexpr std::string_view kNotEmpty = E_("the folder is not empty");

struct Reason {
    std::errc condition;
    std::string_view words;
};
constexpr Reason kReasons[] = {
    {std::errc::no_such_file_or_directory, kNoSuchFile},
    {std::errc::permission_denied, kPermissionDenied},
    {std::errc::operation_not_permitted, kNotPermitted},
    {std::errc::no_space_on_device, kNoSpace},
    {std::errc::read_only_file_system, kReadOnly},
    {std::errc::file_exists, kExists},
    {std::errc::not_a_directory, kNotAFolder},
    {std::errc::is_a_directory, kIsAFolder},
    {std::errc::filename_too_long, kNameTooLong},
    {std::errc::device_or_resource_busy, kBusy},
    {std::errc::too_many_files_open, kTooManyOpen},
    {std::errc::io_error, kInputOutput},
    {std::errc::directory_not_empty, kNotEmpty},
};

#ifdef EDQUOT
constexpr int kQuotaExceeded = EDQUOT;
#else
constexpr int kQuotaExceeded = -1;
#endif

#ifdef _WIN32
// The Windows codes of the same reasons, as the file functions report them.
struct WindowsReason {
    DWORD code;
    std::string_view words;
};
constexpr WindowsReason kWindowsReasons[] = {
    {ERROR_FILE_NOT_FOUND, kNoSuchFile},
    {ERROR_PATH_NOT_FOUND, kNoSuchFile},
    {ERROR_BAD_NETPATH, kNoSuchFile},
    {ERROR_ACCESS_DENIED, kPermissionDenied},
    {ERROR_PRIVILEGE_NOT_HELD, kNotPermitted},
    {ERROR_DISK_FULL, kNoSpace},
    {ERROR_HANDLE_DISK_FULL, kNoSpace},
    {ERROR_WRITE_PROTECT, kReadOnly},
    {ERROR_FILE_EXISTS, kExists},
    {ERROR_ALREADY_EXISTS, kExists},
    {ERROR_DIRECTORY, kNotAFolder},
    {ERROR_FILENAME_EXCED_RANGE, kNameTooLong},
    {ERROR_NOT_ENOUGH_QUOTA, kQuota},
    {ERROR_DISK_QUOTA_EXCEEDED, kQuota},
    {ERROR_SHARING_VIOLATION, kBusy},
    {ERROR_LOCK_VIOLATION, kBusy},
    {ERROR_BUSY, kBusy},
    {ERROR_TOO_MANY_OPEN_FILES, kTooManyOpen},
    {ERROR_IO_DEVICE, kInputOutput},
    {ERROR_CRC, kInputOutput},
    {ERROR_DIR_NOT_EMPTY, kNotEmpty},
};
#endif

std::string_view commonWords(const std::error_code& code) {
#ifdef _WIN32
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
            return kQuota;
        }
    }
    return {};
}

} // namespace

std::string systemReason(const std::error_code& code) {
    const std::string_view words = commonWords(code);
    return words.empty() || language() == Language::English ? errorText(code) : translated(words);
}

std::optional<std::string> systemReasonOfWords(std::string_view words) {
    if (language() == Language::English) {
        return std::nullopt;
    }
#ifdef _WIN32
    for (const WindowsReason& reason : kWindowsReasons) {
        if (words == systemErrorText(static_cast<int>(reason.code))) {
            return translated(reason.words);
        }
    }
#endif
    for (const Reason& reason : kReasons) {
        if (words == errorText(std::make_error_code(reason.condition))) {
            return translated(reason.words);
        }
    }
#ifdef EDQUOT
    if (words == errorText(std::error_code(EDQUOT, std::generic_category()))) {
        return translated(kQuota);
    }
#endif
    return std::nullopt;
}

} // namespace vellarion::cli

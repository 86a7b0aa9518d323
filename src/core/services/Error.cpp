#include "core/services/Error.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vellarion {

namespace {

std::string quoted(std::string_view what, std::string_view fileName, const std::error_code& cause) {
    std::string text(what);
    text += " \"";
    text += fileName;
    text += "\". ";
    text += errorText(cause);
    return text;
}

std::string systemErrorMessage(int code) {
    if (code == 0) {
        return "A call to an OS function failed";
    }
    return systemErrorText(code);
}

} // namespace

SystemError::SystemError(int code)
    : Error("System Error.  Code: " + std::to_string(code) + ".\n" + systemErrorMessage(code)),
      code_(code) {}

int lastSystemError() {
#ifdef _WIN32
    return static_cast<int>(::GetLastError());
#else
    return errno;
#endif
}

std::string systemErrorText(int code) {
    std::string text;
#ifdef _WIN32
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (n > 0 && buffer != nullptr) {
        const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(n), nullptr, 0,
                                                nullptr, nullptr);
        text.resize(static_cast<size_t>(bytes));
        ::WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(n), text.data(), bytes, nullptr,
                              nullptr);
    }
    if (buffer != nullptr) {
        ::LocalFree(buffer);
    }
    if (text.empty()) {
        text = "Unknown error " + std::to_string(code);
    }
#else
    text = std::strerror(code);
#endif
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    return text;
}

std::string errorText(const std::error_code& code) {
    if (code.category() == std::system_category()) {
        return systemErrorText(code.value());
    }
    return code.message();
}

FileOpenError::FileOpenError(std::string_view fileName, const std::error_code& cause)
    : Error(quoted("Cannot open file", fileName, cause)) {}

FileCreateError::FileCreateError(std::string_view fileName, const std::error_code& cause)
    : Error(quoted("Cannot create file", fileName, cause)) {}

FolderCreateError::FolderCreateError(std::string_view folderName, const std::error_code& cause)
    : Error(quoted("Cannot create folder", folderName, cause)) {}

FileIoError::FileIoError(Operation operation, std::string_view fileName,
                         const std::error_code& cause)
    : Error(quoted(operation == Operation::Read ? "Cannot read file" : "Cannot write file",
                   fileName, cause)) {}

} // namespace vellarion

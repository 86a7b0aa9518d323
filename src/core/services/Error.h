#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace vellarion {

// The root of the program's own errors. The core throws; the windows let an
// error reach the standard error box, the command line prints it. The text is
// what the user reads.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An operating-system call failed: "System Error.  Code: %d." followed by a
// line break and the system's text for the code.
class SystemError : public Error {
public:
    explicit SystemError(int code);
    int code() const { return code_; }

private:
    int code_;
};

// The last error code of the calling thread (GetLastError on Windows, errno
// elsewhere).
int lastSystemError();

// The system's text for an error code, without trailing line breaks, spaces
// or periods ("Access is denied", "No such file or directory").
std::string systemErrorText(int code);

// The errors of files, with the texts the user reads in the error box or
// after "vellarion-cli: ".

// "Cannot open file "<name>". <system text>"
class FileOpenError : public Error {
public:
    FileOpenError(std::string_view fileName, const std::error_code& cause);
};

// "Cannot create file "<name>". <system text>"
class FileCreateError : public Error {
public:
    FileCreateError(std::string_view fileName, const std::error_code& cause);
};

// "Cannot create folder "<name>". <system text>"
class FolderCreateError : public Error {
public:
    FolderCreateError(std::string_view folderName, const std::error_code& cause);
};

// An I/O failure while reading or writing an open file.
class FileIoError : public Error {
public:
    enum class Operation { Read, Write };
    FileIoError(Operation operation, std::string_view fileName, const std::error_code& cause);
};

// The system's text for an error code of any category.
std::string errorText(const std::error_code& code);

} // namespace vellarion

#pragma once

#include <stdexcept>
#include <string>

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

} // namespace vellarion

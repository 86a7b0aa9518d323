#pragma once

#include "core/services/Error.h"

#include <string>
#include <string_view>
#include <system_error>

namespace vellarion {

// The codec's errors. Their texts are what the user reads in the error box
// or after "vellarion-cli: ". The errors of opening, creating, reading and
// writing files are the services' (Error.h): the codec shares them with
// everyone else who touches files.

// The archive ends inside a record, or a record's sizes cannot be right.
class StreamReadError : public Error {
public:
    StreamReadError() : Error("Stream read error") {}
};

// zlib failed: "zlib returned: data error" and its sisters.
class ZlibError : public Error {
public:
    explicit ZlibError(int code);
    int code() const { return code_; }

private:
    int code_;
};

// A stored name that would put a file outside the target directory.
class UnsafeNameError : public Error {
public:
    explicit UnsafeNameError(std::string_view storedPath);
};

// A stored path that meets something else than a folder where one of its
// folders must be (a link, a file), or a folder where its file must be:
// "Refusing to unpack "<stored>": "<path>" is <what>".
class PathConflictError : public Error {
public:
    PathConflictError(std::string_view storedPath, std::string_view shownPath,
                      std::string_view what);
};

// A file whose compressed form does not fit a record's size field.
class RecordTooLargeError : public Error {
public:
    explicit RecordTooLargeError(std::string_view fileName);
};

} // namespace vellarion

// Exception kinds that carry the exact message the user sees in the error
// box. Handlers let them propagate; the window catches them at its message
// boundary.
#pragma once

#include <stdexcept>
#include <string>

namespace quorvane {

class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A colour text pair that is not hexadecimal.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// The profile service refused a write.
class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be opened for reading.
class EFOpenError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be created for writing.
class EFCreateError : public Exception {
public:
    using Exception::Exception;
};

// Fewer bytes than a header needs.
class EReadError : public Exception {
public:
    using Exception::Exception;
};

// A picture file whose contents are not of its kind.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// A picture file of a kind the program does not know.
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

// libjpeg reported an error; the message carries its number.
// "JPEG error #<libjpeg's message number>", the number kept as well.
class EJPEG : public Exception {
public:
    explicit EJPEG(int code) : Exception("JPEG error #" + std::to_string(code)), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

// Replaces each "%s" in `pattern` by the next argument, in order.
std::string FormatText(const std::string& pattern, std::initializer_list<std::string> args);

}  // namespace quorvane

// Exceptions of the system. Each carries the string-table id of its message and the format
// arguments; the message is the formatted text from the active string table.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "format.h"

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    // Loads the text of Id from the active string table and formats it with Args.
    Exception(int id, std::vector<TFormatArg> args = {});

    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const { return message_; }
    int Id() const { return id_; }  // 0 when created from a literal message
    const std::vector<TFormatArg>& Args() const { return args_; }

private:
    int id_ = 0;
    std::vector<TFormatArg> args_;
    std::string message_;
};

class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EStringListError : public Exception {
public:
    using Exception::Exception;
};
class EConvertError : public Exception {
public:
    using Exception::Exception;
};
class EPropertyError : public Exception {
public:
    using Exception::Exception;
};
class EClassNotFound : public Exception {
public:
    using Exception::Exception;
};
class EComponentError : public Exception {
public:
    using Exception::Exception;
};
class EClipboardError : public Exception {
public:
    using Exception::Exception;
};
// A picture whose data does not fit its format: an image file, an icon or cursor stream, a
// metafile or a picture record. The portable image readers and the window framework's graphics
// raise it alike.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
// A silent abort: unwinds without a message.
class EAbort : public Exception {
public:
    using Exception::Exception;
    EAbort() : Exception(std::string()) {}
};

#include "base/exception.h"

#include "base/strings.h"

// The text is formatted without raising: a message whose arguments do not fit its text keeps
// the raw text rather than failing while an error is being reported.
Exception::Exception(int id, std::vector<TFormatArg> args) : id_(id), args_(std::move(args)) {
    const std::string text = LoadStr(id);
    if (!TryFormat(text, args_, message_)) message_ = text;
}

// The textual form of a binary component stream, as the clipboard text of node subtrees and
// text saves show it: "object <Class>" lines, "<Property> = <value>" lines and "end" lines,
// nested levels indented by two spaces, lines ended by CR LF. Only written, never read back.
#pragma once

#include <string>

#include "stream.h"

// Converts the component stream at Input's position (signature and one record) into its
// textual form, appended to Output. A damaged stream fails as the component reader does
// (EReadError 65454), before anything is written to Output.
void ObjectBinaryToText(TStream& input, TStream& output);
std::string ComponentStreamToText(TStream& input);

// The text of one string value: quoted runs with doubled quotes, control characters as "#nn".
std::string QuotedText(const std::string& text);
// The text of a floating-point value: the shortest decimal text that reads back as the same
// double, with "." as the decimal separator.
std::string FloatText(double value);

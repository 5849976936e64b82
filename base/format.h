// Formatting of "%s"/"%d"-style texts as the string table uses them: %s, %d, %x, %u, %f, %g, %c,
// %%, with optional "-", width and precision (e.g. "%3d", "%0.8x", "%1s", "%5d").
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// One format argument: an integer, a floating-point number or a text.
using TFormatArg = std::variant<int64_t, double, std::string>;

// Formats Fmt with Args. A placeholder without an argument, or of the wrong kind, raises
// EConvertError; so does an unknown conversion character.
std::string Format(const std::string& fmt, const std::vector<TFormatArg>& args);

std::string IntToStr(int64_t value);
// Decimal text with optional sign and surrounding blanks; raises EConvertError otherwise.
int64_t StrToInt(const std::string& text);
bool TryStrToInt(const std::string& text, int64_t& value);
int64_t StrToIntDef(const std::string& text, int64_t def);
std::string FloatToStr(double value);
bool TryStrToFloat(const std::string& text, double& value);
std::string Trim(const std::string& text);
std::string UpperCase(const std::string& text);  // code page 1252 letters included
std::string LowerCase(const std::string& text);
// Case-insensitive comparison in code page 1252 (<0, 0, >0).
int CompareText(const std::string& a, const std::string& b);
bool SameText(const std::string& a, const std::string& b);

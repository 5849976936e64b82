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
// EConvertError (InvalidFormat); so does an unknown conversion character. Placeholders are
// "%" ["index:"] ["-"] [width] ["." precision] conversion, where width and precision may be "*"
// (taken from the next integer argument). %x and %X both give upper-case hex digits; %d and %x
// pad with zeros up to the precision; %s cuts to the precision and also prints an integer in
// decimal; %f uses precision 2 by default, %e and %g 15 significant digits.
std::string Format(const std::string& fmt, const std::vector<TFormatArg>& args);
// The same without raising: false when Fmt does not fit Args.
bool TryFormat(const std::string& fmt, const std::vector<TFormatArg>& args, std::string& result);

// The decimal separator of floating-point texts (FloatToStr, %f/%g/%e); ',' as in the
// German texts of the program. TryStrToFloat accepts both ',' and '.'.
char DecimalSeparator();
void SetDecimalSeparator(char separator);

std::string IntToStr(int64_t value);
// Decimal text, or hexadecimal after "$" or "0x", with optional sign and surrounding blanks;
// raises EConvertError (InvalidInteger) otherwise, also when the value exceeds 64 bits.
int64_t StrToInt(const std::string& text);
bool TryStrToInt(const std::string& text, int64_t& value);
int64_t StrToIntDef(const std::string& text, int64_t def);
// The same for 32-bit values: decimal texts must lie in the signed 32-bit range; hexadecimal
// texts up to $FFFFFFFF are taken as the 32-bit pattern ($80000005 gives a negative value).
int32_t StrToInt32(const std::string& text);
bool TryStrToInt32(const std::string& text, int32_t& value);
// Shortest text with up to 15 significant digits; scientific ("1E20", "1,5E-7") for very large
// or small values.
std::string FloatToStr(double value);
// Blanks, optional sign, digits with one decimal separator ('.' or ','), optional exponent.
bool TryStrToFloat(const std::string& text, double& value);
// Raises EConvertError (InvalidFloat) for a text TryStrToFloat rejects.
double StrToFloat(const std::string& text);
// Removes characters up to the blank (controls included) from both ends.
std::string Trim(const std::string& text);
std::string UpperCase(const std::string& text);  // code page 1252 letters included
std::string LowerCase(const std::string& text);
// Case-insensitive comparison in code page 1252 (<0, 0, >0).
int CompareText(const std::string& a, const std::string& b);
bool SameText(const std::string& a, const std::string& b);

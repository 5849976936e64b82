// Conversions between the program's 8-bit text (Windows code page 1252) and Unicode.
#pragma once

#include <string>

// Characters outside code page 1252 become '?'.
std::string Utf16ToCp1252(const std::u16string& text);
std::u16string Cp1252ToUtf16(const std::string& text);
std::string Utf8ToCp1252(const std::string& text);
std::string Cp1252ToUtf8(const std::string& text);

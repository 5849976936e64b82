// The string tables built into the program, generated from resources/strings.tsv, the one
// source of the program's texts (the Windows string-table resources come from the same file).
#pragma once

// With a fixed underlying type, so that a value from outside (a stored number) that names no
// language is a defined value the lookups can refuse.
enum TTextLanguage : int { tlGerman = 0, tlEnglish = 1 };

constexpr int FirstStringId = 65136;
constexpr int LastStringId = 65535;

// The UTF-8 text of Id in Language; null when the table has no such id.
const char* BuiltinStringUtf8(TTextLanguage language, int id);

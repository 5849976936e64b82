// Loading texts from the active string table (ids 65136-65535). The program's texts are
// code page 1252; the tables hold them as Unicode and they are converted on loading.
#pragma once

#include <string>

// The source of texts: the built-in tables on every platform, or on Windows the string-table
// resources of the active resource module.
class TStringSource {
public:
    virtual ~TStringSource() = default;
    // The text of Id in code page 1252; empty when the id is missing.
    virtual std::string Load(int id) const = 0;
};

enum TBuiltinLanguage { blGerman, blEnglish };

// The built-in tables generated from the one source of texts; German is the default source.
const TStringSource& BuiltinStrings(TBuiltinLanguage language);

// Replaces the active source (none restores the built-in German one); returns the previous one.
const TStringSource* SetStringSource(const TStringSource* source);
const TStringSource& ActiveStringSource();

std::string LoadStr(int id);

// Window text tables: the captions, hints, menu texts, filters and list items of one window
// class in one language, kept apart from the window's code. A table is UTF-8 text with one
// entry per line:
//     Caption=Quorvel                      the form's own property (no component name)
//     PItemTopMost.Caption=Immer sichtbar  a property of the component named PItemTopMost
//     Filter.Items[0]=Alle Dateien (*.*)   list properties, one numbered line per item from 0
// Blank lines and lines starting with "#" are ignored; in a text, "\n" is a line break, "\t" a
// tab and "\\" a backslash. Texts are handed out in code page 1252.
#pragma once

#include <string>
#include <vector>

#include "base/exception.h"

// A table that cannot be read: the text of Id (string table) with the line number in Line.
class EFormTextError : public Exception {
public:
    EFormTextError(int id, int line);
    int Line() const { return line_; }

private:
    int line_;
};

// One property's text: Component empty for the form itself; Items holds the lines of a list
// property (Text is then empty), in index order.
struct TFormTextEntry {
    std::string Component;
    std::string Property;
    std::string Text;
    std::vector<std::string> Items;
    bool IsList = false;
    int Line = 0;  // where the entry (its first item) stands
};

class TFormTexts {
public:
    // Reads a table. Raises EFormTextError for a line without "=", an empty or malformed key,
    // a key given twice, list items that are not numbered 0, 1, 2 ... without gaps, a key used
    // both as a plain and as a list property, or text that is not valid UTF-8.
    static TFormTexts Parse(const std::string& utf8Text);

    // In the order of first appearance.
    const std::vector<TFormTextEntry>& Entries() const { return entries_; }
    // The entry of Component.Property (case-insensitive); null when the table has none.
    const TFormTextEntry* Find(const std::string& component, const std::string& property) const;

private:
    std::vector<TFormTextEntry> entries_;
};

// The largest table accepted (bytes), against runaway resources.
constexpr size_t MaxFormTextSize = 1 << 20;

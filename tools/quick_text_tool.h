// The quick-text commands of varnolet-file: a library file out into a folder tree of RTF
// files that mirrors its groups, and such a folder tree (RTF or TXT files) into a library.
#pragma once

#include <string>

// Writes every entry of the quick-text file FileName into Folder: a group (or an entry with
// entries below it) becomes a folder, an entry's formatted text a file "<text>.rtf" beside it.
// Names are made safe for any file system and unique among siblings. Returns the number of
// files written; raises the system's exceptions for a damaged file.
int ExportQuickText(const std::string& fileName, const std::string& folder);

// Builds a quick-text file from Folder: folders become groups, RTF files text items taken as
// they are, TXT files text items turned into RTF. A file "<name>.rtf" beside a folder "<name>"
// is that group's own text. Returns the number of entries made.
int ImportQuickText(const std::string& folder, const std::string& fileName);

// Plain text (code page 1252) as a minimal RTF document.
std::string TextToRtf(const std::string& text);

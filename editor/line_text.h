// How text lines map onto the character positions of the rich edit control: a line read from
// the control loses its line end, a line inserted gets one, and the positions a text takes up
// depend on how the control keeps line breaks.
#pragma once

#include <string>

// Line without the line end the control hands back with it: CR LF, or the lone CR (or LF) that
// the newer control ends its paragraphs with.
std::string StripLineEnd(const std::string& line);

// The text that inserting Line puts into the control: "Line\r\n" before an existing line, or
// "\r\nLine" after the end of the last one. A lone CR ending Line is dropped first, so that it
// does not become a second line break.
std::string LineInsertText(const std::string& line, bool afterLastLine);

// The number of character positions Text takes up in the control. With BreakIsOnePosition (the
// newer library) a CR LF, a lone CR and a lone LF are one position each; the older library
// keeps CR LF as two.
int ControlTextLength(const std::string& text, bool breakIsOnePosition);

// The number of lines the text has for its users: the control's line count without a last line
// that is empty (a text ending with a line break has no further line).
int VisibleLineCount(int controlLineCount, bool lastLineEmpty);

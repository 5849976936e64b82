// The page loop of printing a text: each page is formatted and rendered from the first
// character not yet printed, until the whole text is out, a page makes no progress, or the
// user aborts. The formatter behind it is the rich edit control on a printer (or anything
// that answers the same way).
#pragma once

#include <functional>

class TPageFormatter {
public:
    virtual ~TPageFormatter() = default;
    // Formats and renders one page starting at character First; returns the first character
    // of the next page.
    virtual int FormatPage(int first) = 0;
    // Starts the next page of the job.
    virtual void StartNextPage() = 0;
};

struct TPrintLoopResult {
    int Pages = 0;
    bool Aborted = false;
    // The first character after the last page printed.
    int PrintedTo = 0;
};

// Prints TextLength characters through Formatter. After each page Progress gets the position
// reached and AbortRequested is asked; a true answer ends the job after that page.
TPrintLoopResult RunPrintLoop(TPageFormatter& formatter, int textLength, const std::function<void(int current)>& progress,
                              const std::function<bool()>& abortRequested);

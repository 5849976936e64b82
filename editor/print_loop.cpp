#include "editor/print_loop.h"

TPrintLoopResult RunPrintLoop(TPageFormatter& formatter, int textLength, const std::function<void(int current)>& progress,
                              const std::function<bool()>& abortRequested) {
    TPrintLoopResult result;
    int first = 0;
    for (;;) {
        const int next = formatter.FormatPage(first);
        ++result.Pages;
        if (next > result.PrintedTo) result.PrintedTo = next;
        if (progress) progress(next);
        if (abortRequested && abortRequested()) result.Aborted = true;
        // A page that did not get past its first character would be printed again forever.
        if (result.Aborted || next >= textLength || next <= first) break;
        formatter.StartNextPage();
        first = next;
    }
    return result;
}

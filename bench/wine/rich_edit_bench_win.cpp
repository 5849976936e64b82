// Benchmarks of the rich edit control: a 5 MB RTF text streamed in and out. Besides the times it
// reports how far apart the progress reports came (the largest step in KB) and how long a
// message sent to the editor's window from another thread waited for its answer while the
// text streamed (the window must answer during long operations).
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>

#include "bench/wine/wine_bench.h"
#include "editor/rich_edit_win.h"
#include "winui/application_win.h"
#include "winui/form_win.h"

namespace {

// About Bytes of RTF: paragraphs with bold, italic and coloured words.
std::string LargeRtf(size_t bytes) {
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red200\\green0\\blue0;"
                      "\\red0\\green0\\blue200;}\\f0\\fs20 ";
    size_t line = 0;
    while (rtf.size() < bytes) {
        rtf += "Absatz " + std::to_string(++line) +
               " mit {\\b fetten} und {\\i kursiven} W\\'f6rtern, {\\cf1 rot} und {\\cf2 blau}, "
               "dazu etwas gew\\'f6hnlicher Text, damit die Zeile umbricht.\\par\n";
    }
    return rtf + "}";
}

// Sends WM_NULL to a window every few milliseconds and keeps the longest wait for the answer.
class TResponseWatcher {
public:
    explicit TResponseWatcher(HWND window) : window_(window) {
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    // The watcher may be waiting for an answer: messages sent to this thread are answered
    // until it has ended.
    ~TResponseWatcher() {
        stop_ = true;
        while (MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        CloseHandle(thread_);
    }
    DWORD LongestWait() const { return longest_; }
    int Answers() const { return answers_; }

private:
    static DWORD WINAPI Run(LPVOID self) {
        auto* watcher = static_cast<TResponseWatcher*>(self);
        while (!watcher->stop_) {
            const DWORD start = GetTickCount();
            DWORD_PTR result = 0;
            if (SendMessageTimeoutW(watcher->window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result)) ++watcher->answers_;
            watcher->longest_ = std::max<DWORD>(watcher->longest_, GetTickCount() - start);
            Sleep(5);
        }
        return 0;
    }

    HWND window_;
    HANDLE thread_ = nullptr;
    std::atomic<bool> stop_{false};
    std::atomic<DWORD> longest_{0};
    std::atomic<int> answers_{0};
};

struct TProgressSteps {
    int Reports = 0;
    int LargestStep = 0;
    int Last = 0;
};

// The control's own streaming without TRichEdit2 around it: the floor of the measured times.
DWORD CALLBACK BareRead(DWORD_PTR cookie, LPBYTE buffer, LONG asked, LONG* done) {
    *done = static_cast<LONG>(reinterpret_cast<TStream*>(cookie)->Read(buffer, static_cast<size_t>(asked)));
    return 0;
}

DWORD CALLBACK BareWrite(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
    reinterpret_cast<TStream*>(cookie)->WriteBuffer(buffer, static_cast<size_t>(count));
    *done = count;
    return 0;
}

void BareStream(HWND window, UINT message, TStream& stream, EDITSTREAMCALLBACK callback) {
    EDITSTREAM edit{reinterpret_cast<DWORD_PTR>(&stream), 0, callback};
    SendMessageW(window, message, SF_RTF, reinterpret_cast<LPARAM>(&edit));
}

void StreamRtf(TWineBenchRun& run) {
    TForm form(nullptr);
    form.SetBounds(50, 50, 700, 500);
    TRichEdit2 editor(&form);
    editor.SetAlign(alClient);
    editor.SetParent(&form);
    form.Show();
    const std::string rtf = LargeRtf(5 * 1024 * 1024);
    TMemoryStream source;
    source.WriteBuffer(rtf.data(), rtf.size());
    TProgressSteps steps;
    editor.OnProgress = [&](TRichEdit2&, int action, int, int current) {
        if (action == paIdle) return;
        ++steps.Reports;
        if (current > 0) steps.LargestStep = std::max(steps.LargestStep, current - steps.Last);
        steps.Last = current;
    };

    run.Measure("StreamIn5MB-control-alone", 3, [&] { BareStream(editor.Handle(), EM_STREAMIN, source, BareRead); },
                [&] {
                    editor.Clear();
                    source.SetPosition(0);
                });
    DWORD longestIn = 0;
    int answersIn = 0;
    // Each load replaces the 5 MB text the previous one left.
    run.Measure("StreamIn5MB", 3, [&] {
        TResponseWatcher watcher(form.Handle());
        editor.Lines().LoadFromStream(source);
        longestIn = std::max(longestIn, watcher.LongestWait());
        answersIn += watcher.Answers();
    }, [&] {
        source.SetPosition(0);
        steps = TProgressSteps{};
    });
    std::printf("  in: %.1f MB of RTF, %d lines; %d progress reports, largest step %.1f KB; "
                "%d sent messages answered, longest wait %lu ms\n",
                rtf.size() / 1048576.0, editor.Lines().Count(), steps.Reports, steps.LargestStep / 1024.0, answersIn,
                static_cast<unsigned long>(longestIn));

    run.Measure("StreamOut5MB-unwatched", 3, [&] {
        TMemoryStream target;
        editor.Lines().SaveToStream(target);
    });
    run.Measure("StreamOut5MB-control-alone", 3, [&] {
        TMemoryStream target;
        BareStream(editor.Handle(), EM_STREAMOUT, target, BareWrite);
    });
    size_t written = 0;
    DWORD longestOut = 0;
    int answersOut = 0;
    run.Measure("StreamOut5MB", 3, [&] {
        TResponseWatcher watcher(form.Handle());
        TMemoryStream target;
        editor.Lines().SaveToStream(target);
        written = static_cast<size_t>(target.Size());
        longestOut = std::max(longestOut, watcher.LongestWait());
        answersOut += watcher.Answers();
    }, [&] { steps = TProgressSteps{}; });
    std::printf("  out: %.1f MB of RTF; %d progress reports, largest step %.1f KB; "
                "%d sent messages answered, longest wait %lu ms\n",
                written / 1048576.0, steps.Reports, steps.LargestStep / 1024.0, answersOut,
                static_cast<unsigned long>(longestOut));
    run.Measure("Clear5MB", 1, [&] { editor.Clear(); });
    std::fflush(stdout);
}

const TWineBenchRegistration registration("RichEdit", StreamRtf);

}  // namespace

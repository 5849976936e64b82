// The multi-line edit over the system EDIT class (TCustomMemo) and its Lines: a line adapter
// that reads and writes the window line by line (TMemoStrings). Scroll bars, word wrap,
// alignment and whether Tab and Enter go into the text are the memo's own; the rich edit
// control derives from it and brings a line adapter of its own.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"
#include "winui/std_controls_win.h"
#include "winui/std_edits_win.h"

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomMemo;

// Line positions of a multi-line edit or rich edit window, which answer the line messages alike.
// The start of line Index, -1 past the last line.
int EditLineStart(HWND window, int index);
// The length of the line that holds character Position.
int EditLineLength(HWND window, int position);
// Where a line inserted as line Index goes: the start of that line, or, for the index one past
// a last line that has text, that line's end (AfterLast set: the new line follows a line
// break). -1 when there is no such place.
int EditInsertPosition(HWND window, int index, bool& afterLast);
// The characters of line Index with the line break after it (the last line has none); false
// outside the lines.
bool EditLineRange(HWND window, int index, int& start, int& end);

// The lines of a multi-line edit, read from and written to its window (which is made when
// needed). A text ending with a line break has no further empty line.
class TMemoStrings {
public:
    explicit TMemoStrings(TCustomMemo& memo) : memo_(memo) {}
    virtual ~TMemoStrings() = default;
    TMemoStrings(const TMemoStrings&) = delete;
    TMemoStrings& operator=(const TMemoStrings&) = delete;

    virtual int Count();
    // Line Index without its line end; empty outside the lines.
    virtual std::string Get(int index);
    std::string Strings(int index) { return Get(index); }
    // Replaces line Index; a negative index does nothing.
    virtual void Put(int index, const std::string& text);
    // Inserts Text as line Index (after the last line for Index = Count).
    virtual void Insert(int index, const std::string& text);
    int Add(const std::string& text);
    virtual void Delete(int index);
    virtual void Clear();
    // All lines joined by CR LF; setting takes CR LF, CR or LF as line breaks.
    virtual std::string Text();
    virtual void SetText(const std::string& text);
    virtual void AddStrings(const std::vector<std::string>& lines);
    // Brackets many changes: the window does not repaint in between.
    void BeginUpdate();
    void EndUpdate();

    // The whole text from a stream or into it (the bytes as they stand).
    virtual void LoadFromStream(TStream& stream);
    // True when the text was written (a derived adapter may be stopped by the user).
    virtual bool SaveToStream(TStream& stream);
    virtual void LoadFromFile(const std::string& fileName);
    virtual bool SaveToFile(const std::string& fileName);

protected:
    virtual void SetUpdateState(bool updating);
    TCustomMemo& Memo() { return memo_; }

private:
    TCustomMemo& memo_;
    int updateCount_ = 0;
};

class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* owner);
    ~TCustomMemo() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TMemoStrings& Lines() { return *lines_; }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle scrollBars);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wordWrap);
    // Whether Tab (Enter) goes into the text instead of moving the focus (pressing the default button).
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool wantTabs) { wantTabs_ = wantTabs; }
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool wantReturns) { wantReturns_ = wantReturns; }

protected:
    void CreateParams(TCreateParams& params) override;
    bool WantsKey(WORD key) override;
    // A derived control replaces the line adapter with its own.
    void SetLinesAdapter(std::unique_ptr<TMemoStrings> lines) { lines_ = std::move(lines); }

private:
    std::unique_ptr<TMemoStrings> lines_;
    TAlignment alignment_ = taLeftJustify;
    TScrollStyle scrollBars_ = ssNone;
    bool wordWrap_ = true;
    bool wantTabs_ = false;
    bool wantReturns_ = true;
};

class TMemo : public TCustomMemo {
public:
    explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

// Text with every line break (CR LF, a lone CR, a lone LF) as CR LF, the form an edit shows.
std::string WithCrLfBreaks(const std::string& text);

#include "winui/memo_win.h"

#include <algorithm>
#include <vector>

#include "winui/text_win.h"

// --- TMemoStrings ---

int EditLineStart(HWND window, int index) {
    return static_cast<int>(SendMessageW(window, EM_LINEINDEX, static_cast<WPARAM>(index), 0));
}

int EditLineLength(HWND window, int position) {
    return static_cast<int>(SendMessageW(window, EM_LINELENGTH, static_cast<WPARAM>(position), 0));
}

int EditInsertPosition(HWND window, int index, bool& afterLast) {
    afterLast = false;
    if (index < 0) return -1;
    const int start = EditLineStart(window, index);
    if (start >= 0) return start;
    const int last = EditLineStart(window, index - 1);
    if (last < 0) return -1;
    const int length = EditLineLength(window, last);
    if (length == 0) return -1;
    afterLast = true;
    return last + length;
}

bool EditLineRange(HWND window, int index, int& start, int& end) {
    if (index < 0) return false;
    start = EditLineStart(window, index);
    if (start < 0) return false;
    end = EditLineStart(window, index + 1);
    if (end < 0) end = start + EditLineLength(window, start);
    return true;
}

namespace {

void ReplaceRange(TCustomMemo& memo, int start, int end, const std::string& text) {
    memo.SetSelStart(start);
    memo.SetSelLength(end - start);
    memo.SetSelText(text);
}

}  // namespace

int TMemoStrings::Count() {
    HWND window = memo_.Handle();
    const int count = static_cast<int>(SendMessageW(window, EM_GETLINECOUNT, 0, 0));
    if (count <= 0) return 0;
    const bool lastEmpty = EditLineLength(window, EditLineStart(window, count - 1)) == 0;
    return lastEmpty ? count - 1 : count;
}

std::string TMemoStrings::Get(int index) {
    HWND window = memo_.Handle();
    const int start = EditLineStart(window, index);
    if (index < 0 || start < 0) return std::string();
    const int length = EditLineLength(window, start);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 2, L'\0');
    *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(std::min<size_t>(buffer.size(), 0xFFFF));
    const LRESULT got = SendMessageW(window, EM_GETLINE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    return NarrowText(buffer.data(), static_cast<int>(std::min<LRESULT>(got, length)));
}

void TMemoStrings::Put(int index, const std::string& text) {
    if (index < 0) return;
    HWND window = memo_.Handle();
    const int start = EditLineStart(window, index);
    if (start < 0) return;
    ReplaceRange(memo_, start, start + EditLineLength(window, start), text);
}

void TMemoStrings::Insert(int index, const std::string& text) {
    bool afterLast = false;
    const int position = EditInsertPosition(memo_.Handle(), index, afterLast);
    if (position < 0) return;
    ReplaceRange(memo_, position, position, afterLast ? "\r\n" + text : text + "\r\n");
}

int TMemoStrings::Add(const std::string& text) {
    const int index = Count();
    Insert(index, text);
    return index;
}

void TMemoStrings::Delete(int index) {
    int start = 0;
    int end = 0;
    if (EditLineRange(memo_.Handle(), index, start, end)) ReplaceRange(memo_, start, end, std::string());
}

void TMemoStrings::Clear() { memo_.Clear(); }

std::string TMemoStrings::Text() { return memo_.Text(); }

void TMemoStrings::SetText(const std::string& text) { memo_.SetText(WithCrLfBreaks(text)); }

void TMemoStrings::AddStrings(const std::vector<std::string>& lines) {
    BeginUpdate();
    try {
        for (const std::string& line : lines) Add(line);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TMemoStrings::BeginUpdate() {
    if (updateCount_++ == 0) SetUpdateState(true);
}

void TMemoStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TMemoStrings::SetUpdateState(bool updating) {
    if (!memo_.HandleAllocated()) return;
    SendMessageW(memo_.Handle(), WM_SETREDRAW, updating ? FALSE : TRUE, 0);
    if (!updating) {
        memo_.Refresh();
        memo_.Perform(CM_TEXTCHANGED);
    }
}

void TMemoStrings::LoadFromStream(TStream& stream) {
    std::string text(static_cast<size_t>(stream.Remaining()), '\0');
    if (!text.empty()) stream.ReadBuffer(text.data(), text.size());
    SetText(text);
}

bool TMemoStrings::SaveToStream(TStream& stream) {
    const std::string text = Text();
    if (!text.empty()) stream.WriteBuffer(text.data(), text.size());
    return true;
}

void TMemoStrings::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead);
    LoadFromStream(file);
}

bool TMemoStrings::SaveToFile(const std::string& fileName) {
    TFileStream file(fileName, fmCreate);
    return SaveToStream(file);
}

std::string WithCrLfBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

// --- TCustomMemo ---

const TClassInfo& TCustomMemo::StaticClass() {
    static const TClassInfo info{"TCustomMemo", &TCustomEdit::StaticClass(), {}, {}};
    return info;
}

const TClassInfo& TMemo::StaticClass() {
    static const TClassInfo info{"TMemo", &TCustomMemo::StaticClass(), {}, {}};
    return info;
}

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), lines_(std::make_unique<TMemoStrings>(*this)) {
    controlStyle_ -= csFixedHeight;
    SetAutoSize(false);
    SetBounds(Left(), Top(), 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& params) {
    TCustomEdit::CreateParams(params);
    params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
    params.Style &= ~static_cast<DWORD>(ES_LEFT | ES_CENTER | ES_RIGHT);
    if (alignment_ == taCenter) params.Style |= ES_CENTER;
    else if (alignment_ == taRightJustify) params.Style |= ES_RIGHT;
    if (wordWrap_) params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
    if ((scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) && !wordWrap_) params.Style |= WS_HSCROLL;
}

bool TCustomMemo::WantsKey(WORD key) {
    if (key == VK_TAB) return wantTabs_;
    if (key == VK_RETURN) return wantReturns_;
    return TCustomEdit::WantsKey(key);
}

void TCustomMemo::SetAlignment(TAlignment alignment) {
    if (alignment_ == alignment) return;
    alignment_ = alignment;
    RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle scrollBars) {
    if (scrollBars_ == scrollBars) return;
    scrollBars_ = scrollBars;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool wordWrap) {
    if (wordWrap_ == wordWrap) return;
    wordWrap_ = wordWrap;
    RecreateWnd();
}

#include "base/edit_mask.h"

#include <algorithm>

#include "base/format.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Letters of code page 1252: those with two cases, and the sharp s.
bool IsLetter(char c) {
    const std::string one(1, c);
    return UpperCase(one) != LowerCase(one) || static_cast<unsigned char>(c) == 0xDF;
}

TMaskCharKind KindOf(char c) {
    switch (c) {
    case '0': return mkDigit;
    case '9': return mkDigitOpt;
    case '#': return mkDigitSign;
    case 'L': return mkLetter;
    case 'l': return mkLetterOpt;
    case 'A': return mkAlnum;
    case 'a': return mkAlnumOpt;
    case 'C': return mkAny;
    case 'c': return mkAnyOpt;
    default: return mkLiteral;
    }
}

// The end of the first section: the first ";" that no "\" escapes.
size_t SectionEnd(const std::string& mask) {
    for (size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == '\\') ++i;
        else if (mask[i] == ';') return i;
    }
    return std::string::npos;
}

}  // namespace

TEditMask::TEditMask(const std::string& mask) : mask_(mask) {
    const size_t end = SectionEnd(mask);
    const std::string chars = mask.substr(0, end);
    if (end != std::string::npos) {
        const std::string rest = mask.substr(end + 1);
        const size_t second = rest.find(';');
        const std::string save = rest.substr(0, second);
        saveLiterals_ = save.empty() || save[0] != '0';
        if (second != std::string::npos && second + 1 < rest.size()) blank_ = rest[second + 1];
    }
    TMaskCase currentCase = mcNone;
    for (size_t i = 0; i < chars.size(); ++i) {
        const char c = chars[i];
        if (c == '\\') {
            // A trailing backslash stands for itself.
            const char literal = i + 1 < chars.size() ? chars[++i] : c;
            positions_.push_back(TMaskPosition{mkLiteral, literal, mcNone});
            continue;
        }
        if (c == '>' || c == '<') {
            const bool reset = i + 1 < chars.size() && chars[i + 1] == (c == '<' ? '>' : '<');
            if (reset) {
                currentCase = mcNone;
                ++i;
            } else {
                currentCase = c == '>' ? mcUpper : mcLower;
            }
            continue;
        }
        const TMaskCharKind kind = KindOf(c);
        positions_.push_back(kind == mkLiteral ? TMaskPosition{mkLiteral, c, mcNone}
                                               : TMaskPosition{kind, 0, currentCase});
    }
}

bool TEditMask::Accepts(int index, char character) const {
    if (!IsInput(index)) return false;
    switch (Position(index).Kind) {
    case mkDigit:
    case mkDigitOpt: return IsDigit(character);
    case mkDigitSign: return IsDigit(character) || character == '+' || character == '-';
    case mkLetter:
    case mkLetterOpt: return IsLetter(character);
    case mkAlnum:
    case mkAlnumOpt: return IsLetter(character) || IsDigit(character);
    case mkAny:
    case mkAnyOpt: return static_cast<unsigned char>(character) >= 32;
    case mkLiteral: break;
    }
    return false;
}

char TEditMask::Convert(int index, char character) const {
    const std::string one(1, character);
    switch (Position(index).Case) {
    case mcUpper: return UpperCase(one)[0];
    case mcLower: return LowerCase(one)[0];
    case mcNone: break;
    }
    return character;
}

std::string TEditMask::EmptyText() const {
    std::string text;
    text.reserve(positions_.size());
    for (const TMaskPosition& p : positions_) text += p.IsInput() ? blank_ : p.Literal;
    return text;
}

std::string TEditMask::Format(const std::string& value) const {
    std::string text = EmptyText();
    size_t j = 0;
    for (int i = 0; i < Length() && j < value.size(); ++i) {
        const TMaskPosition& p = positions_[static_cast<size_t>(i)];
        if (!p.IsInput()) {
            if (value[j] == p.Literal) ++j;
            continue;
        }
        while (j < value.size()) {
            const char c = value[j++];
            if (c == ' ' || c == blank_) break;
            if (Accepts(i, c)) {
                text[static_cast<size_t>(i)] = Convert(i, c);
                break;
            }
        }
    }
    return text;
}

bool TEditMask::IsFilled(const std::string& editText, int index) const {
    return IsInput(index) && index < static_cast<int>(editText.size()) &&
           editText[static_cast<size_t>(index)] != blank_;
}

int TEditMask::LastFilled(const std::string& editText) const {
    for (int i = Length() - 1; i >= 0; --i)
        if (IsFilled(editText, i)) return i;
    return -1;
}

std::string TEditMask::Text(const std::string& editText) const {
    return saveLiterals_ ? TextWithLiterals(editText) : TextWithoutLiterals(editText);
}

std::string TEditMask::TextWithLiterals(const std::string& editText) const {
    std::string text;
    const int last = LastFilled(editText);
    for (int i = 0; i <= last; ++i) {
        const TMaskPosition& p = positions_[static_cast<size_t>(i)];
        if (!p.IsInput()) text += p.Literal;
        else text += IsFilled(editText, i) ? editText[static_cast<size_t>(i)] : ' ';
    }
    return text;
}

std::string TEditMask::TextWithoutLiterals(const std::string& editText) const {
    std::string text;
    const int last = LastFilled(editText);
    for (int i = 0; i <= last; ++i)
        if (IsInput(i)) text += IsFilled(editText, i) ? editText[static_cast<size_t>(i)] : ' ';
    return text;
}

bool TEditMask::Complete(const std::string& editText) const {
    for (int i = 0; i < Length(); ++i)
        if (positions_[static_cast<size_t>(i)].Required() && !IsFilled(editText, i)) return false;
    return true;
}

int TEditMask::InputAtOrAfter(int index) const {
    for (int i = std::max(index, 0); i < Length(); ++i)
        if (IsInput(i)) return i;
    return -1;
}

int TEditMask::InputBefore(int index) const {
    for (int i = std::min(index, Length()) - 1; i >= 0; --i)
        if (IsInput(i)) return i;
    return -1;
}

int TEditMask::FirstStop() const {
    const int first = InputAtOrAfter(0);
    return first < 0 ? 0 : first;
}

int TEditMask::LastStop() const {
    const int last = InputBefore(Length());
    return last < 0 ? 0 : last + 1;
}

int TEditMask::NextStop(int caret) const {
    const int next = InputAtOrAfter(caret + 1);
    if (next >= 0) return next;
    return caret < LastStop() ? LastStop() : caret;
}

int TEditMask::PriorStop(int caret) const {
    if (caret > LastStop()) return LastStop();
    const int prior = InputBefore(caret);
    return prior < 0 ? caret : prior;
}

int TEditMask::StopAtOrAfter(int caret) const {
    const int next = InputAtOrAfter(caret);
    return next >= 0 ? next : LastStop();
}

namespace {

int Caret(const TMaskEditState& state) { return std::min(state.SelStart, state.SelEnd); }

void PlaceCaret(TMaskEditState& state, int caret) {
    state.SelStart = caret;
    state.SelEnd = caret;
}

bool HasSelection(const TMaskEditState& state) { return state.SelStart != state.SelEnd; }

// Clears the input positions from First up to Last (excluded).
void ClearRange(const TEditMask& mask, std::string& text, int first, int last) {
    for (int i = std::max(first, 0); i < last && i < static_cast<int>(text.size()); ++i)
        if (mask.IsInput(i)) text[static_cast<size_t>(i)] = mask.Blank();
}

}  // namespace

void MaskClearSelection(const TEditMask& mask, TMaskEditState& state) {
    const int first = std::min(state.SelStart, state.SelEnd);
    const int last = std::max(state.SelStart, state.SelEnd);
    ClearRange(mask, state.Text, first, last);
    PlaceCaret(state, first);
}

bool MaskTypeChar(const TEditMask& mask, TMaskEditState& state, char character) {
    TMaskEditState work = state;
    if (HasSelection(work)) MaskClearSelection(mask, work);
    const int caret = Caret(work);
    const int input = mask.InputAtOrAfter(caret);
    if (input >= 0 && mask.Accepts(input, character)) {
        work.Text[static_cast<size_t>(input)] = mask.Convert(input, character);
        PlaceCaret(work, mask.StopAtOrAfter(input + 1));
        state = work;
        return true;
    }
    // The literal at the caret, or the one the caret has just skipped.
    if (caret < mask.Length() && !mask.IsInput(caret) && mask.Position(caret).Literal == character) {
        PlaceCaret(work, mask.StopAtOrAfter(caret + 1));
        state = work;
        return true;
    }
    if (caret > 0 && caret <= mask.Length() && !mask.IsInput(caret - 1) &&
        mask.Position(caret - 1).Literal == character) {
        state = work;
        return true;
    }
    return false;
}

bool MaskBackspace(const TEditMask& mask, TMaskEditState& state) {
    if (HasSelection(state)) {
        MaskClearSelection(mask, state);
        return true;
    }
    const int input = mask.InputBefore(Caret(state));
    if (input < 0) return false;
    state.Text[static_cast<size_t>(input)] = mask.Blank();
    PlaceCaret(state, input);
    return true;
}

bool MaskDelete(const TEditMask& mask, TMaskEditState& state) {
    if (HasSelection(state)) {
        MaskClearSelection(mask, state);
        return true;
    }
    const int input = mask.InputAtOrAfter(Caret(state));
    if (input < 0) return false;
    state.Text[static_cast<size_t>(input)] = mask.Blank();
    return true;
}

bool MaskPaste(const TEditMask& mask, TMaskEditState& state, const std::string& text) {
    TMaskEditState work = state;
    if (HasSelection(work)) MaskClearSelection(mask, work);
    int lastPlaced = -1;
    size_t j = 0;
    for (int i = Caret(work); i < mask.Length() && j < text.size(); ++i) {
        if (!mask.IsInput(i)) {
            if (text[j] == mask.Position(i).Literal) ++j;
            continue;
        }
        while (j < text.size()) {
            const char c = text[j++];
            if (c == ' ' || c == mask.Blank()) {
                work.Text[static_cast<size_t>(i)] = mask.Blank();
                lastPlaced = i;
                break;
            }
            if (mask.Accepts(i, c)) {
                work.Text[static_cast<size_t>(i)] = mask.Convert(i, c);
                lastPlaced = i;
                break;
            }
        }
    }
    if (lastPlaced < 0) return text.empty();
    PlaceCaret(work, mask.StopAtOrAfter(lastPlaced + 1));
    state = work;
    return true;
}

void MaskCaretLeft(const TEditMask& mask, TMaskEditState& state) {
    if (HasSelection(state)) PlaceCaret(state, mask.StopAtOrAfter(Caret(state)));
    else PlaceCaret(state, mask.PriorStop(Caret(state)));
}

void MaskCaretRight(const TEditMask& mask, TMaskEditState& state) {
    if (HasSelection(state)) PlaceCaret(state, mask.StopAtOrAfter(std::max(state.SelStart, state.SelEnd)));
    else PlaceCaret(state, mask.NextStop(state.SelEnd));
}

void MaskCaretHome(const TEditMask& mask, TMaskEditState& state) { PlaceCaret(state, mask.FirstStop()); }

void MaskCaretEnd(const TEditMask& mask, TMaskEditState& state) { PlaceCaret(state, mask.LastStop()); }

void MaskSnapCaret(const TEditMask& mask, TMaskEditState& state) {
    if (HasSelection(state)) return;
    PlaceCaret(state, mask.StopAtOrAfter(state.SelEnd));
}

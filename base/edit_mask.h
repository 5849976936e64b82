// The edit mask of a masked single-line edit, and what typing, deleting and pasting do to the
// text and caret of such an edit. The window class is a thin layer over these functions.
//
// Mask syntax: "<mask characters>[;<save literals>[;<blank character>]]".
//   0 digit (required)       9 digit (optional)     # digit, "+" or "-" (optional)
//   L letter (required)      l letter (optional)
//   A letter or digit (req.) a letter or digit (optional)
//   C any character (req.)   c any character (optional)
//   > upper case from here   < lower case from here   <> no case change from here
//   \x the character x as a literal; any other character is a literal.
// The second section "0" reads the text back without the literals (any other value, or none,
// keeps them); the third section's first character marks unfilled positions (default "_").
#pragma once

#include <string>
#include <vector>

enum TMaskCharKind { mkLiteral, mkDigit, mkDigitOpt, mkDigitSign, mkLetter, mkLetterOpt, mkAlnum,
                     mkAlnumOpt, mkAny, mkAnyOpt };
enum TMaskCase { mcNone, mcUpper, mcLower };

// One character position of the edit text.
struct TMaskPosition {
    TMaskCharKind Kind = mkLiteral;
    char Literal = 0;  // the character of a literal position
    TMaskCase Case = mcNone;

    bool IsInput() const { return Kind != mkLiteral; }
    bool Required() const { return Kind == mkDigit || Kind == mkLetter || Kind == mkAlnum || Kind == mkAny; }
};

class TEditMask {
public:
    // No mask: the edit takes any text.
    TEditMask() = default;
    explicit TEditMask(const std::string& mask);

    bool Empty() const { return positions_.empty(); }
    const std::string& Mask() const { return mask_; }
    bool SaveLiterals() const { return saveLiterals_; }
    char Blank() const { return blank_; }
    // The length of the edit text.
    int Length() const { return static_cast<int>(positions_.size()); }
    const TMaskPosition& Position(int index) const { return positions_.at(static_cast<size_t>(index)); }
    bool IsInput(int index) const { return index >= 0 && index < Length() && positions_[static_cast<size_t>(index)].IsInput(); }

    // Whether the input position takes Character (before case conversion).
    bool Accepts(int index, char character) const;
    // Character as it is stored at the input position (case conversion).
    char Convert(int index, char character) const;

    // The edit text of an empty edit: the literals, blanks elsewhere.
    std::string EmptyText() const;
    // The edit text for Value, which may hold the literals or not: literal characters of
    // Value that stand where the mask has them are taken as those literals, the other
    // characters fill the input positions in order; characters a position does not take are
    // skipped, blanks (space or the blank character) leave a position unfilled.
    std::string Format(const std::string& value) const;
    // The text read back from an edit text: with the literals when SaveLiterals, else only
    // the input characters. Unfilled positions read as spaces; the part after the last filled
    // input position is left out.
    std::string Text(const std::string& editText) const;
    std::string TextWithLiterals(const std::string& editText) const;
    std::string TextWithoutLiterals(const std::string& editText) const;
    // True when every required position of Edit text is filled.
    bool Complete(const std::string& editText) const;

    // Caret places: before each input position and after the last one.
    int FirstStop() const;
    int LastStop() const;
    // The next caret place after Caret (Caret itself at the end), and the one before it.
    int NextStop(int caret) const;
    int PriorStop(int caret) const;
    // The caret place at or after Caret.
    int StopAtOrAfter(int caret) const;
    // The first input position at or after Index; -1 when none.
    int InputAtOrAfter(int index) const;
    // The last input position before Index; -1 when none.
    int InputBefore(int index) const;

private:
    bool IsFilled(const std::string& editText, int index) const;
    int LastFilled(const std::string& editText) const;

    std::string mask_;
    std::vector<TMaskPosition> positions_;
    bool saveLiterals_ = true;
    char blank_ = '_';
};

// The text and selection of a masked edit; the caret is at SelEnd.
struct TMaskEditState {
    std::string Text;
    int SelStart = 0;
    int SelEnd = 0;
};

// What a key does to a masked edit. Each returns false when the edit refuses the key (the
// window beeps); a refused key changes nothing. State.Text must be an edit text of Mask.
//
// A typed character overtypes the next input position at or after the caret (a selection is
// cleared first) and the caret moves on to the next input position; typing the literal that
// stands at the caret, or that the caret just skipped, is taken without a change.
bool MaskTypeChar(const TEditMask& mask, TMaskEditState& state, char character);
// Backspace clears the selection, or else the input position before the caret, and puts the
// caret there. Nothing to clear is refused.
bool MaskBackspace(const TEditMask& mask, TMaskEditState& state);
// Delete clears the selection, or else the input position at or after the caret; the caret
// stays. Nothing to clear is refused.
bool MaskDelete(const TEditMask& mask, TMaskEditState& state);
// Clears the selected input positions (cut, clear); the caret goes to the selection's start.
void MaskClearSelection(const TEditMask& mask, TMaskEditState& state);
// Paste fills the positions from the caret (after clearing the selection) the way Format
// fills them from the start; the caret goes after the last character placed. A text of which
// nothing fits is refused.
bool MaskPaste(const TEditMask& mask, TMaskEditState& state, const std::string& text);
// Caret moves that skip the literals (any selection goes).
void MaskCaretLeft(const TEditMask& mask, TMaskEditState& state);
void MaskCaretRight(const TEditMask& mask, TMaskEditState& state);
void MaskCaretHome(const TEditMask& mask, TMaskEditState& state);
void MaskCaretEnd(const TEditMask& mask, TMaskEditState& state);
// A caret placed by the mouse on a literal goes on to the next caret place.
void MaskSnapCaret(const TEditMask& mask, TMaskEditState& state);

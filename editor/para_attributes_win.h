// The paragraph attributes of a rich edit control's selection: alignment, indents, bullets,
// tab stops, and with the newer library the spacing before and after and the line spacing.
// Every read fetches the control's paragraph format; a write sends only the fields that
// really change and nothing when none does. Without a rich edit library reads give the
// defaults and writes do nothing.
#pragma once

#include <windows.h>
#include <richedit.h>

#include "base/persistent.h"
#include "editor/para_format.h"
#include "winui/std_controls_win.h"

class TRichEdit2;

enum TNumberingStyle { nsNone, nsBullet };

class TParaAttributes2 : public TPersistent {
public:
    explicit TParaAttributes2(TRichEdit2& owner);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TAlignment Alignment();
    void SetAlignment(TAlignment alignment);
    // Indents in points: the first line's, the following lines' offset from it, the right one.
    int FirstIndent();
    void SetFirstIndent(int points);
    int LeftIndent();
    void SetLeftIndent(int points);
    int RightIndent();
    void SetRightIndent(int points);
    // Setting none first sets LeftIndent to 0, bullets first raise it to at least 10.
    TNumberingStyle Numbering();
    void SetNumbering(TNumberingStyle numbering);
    // Tab stop Index (0..31) in points; TabCount the stops set.
    int Tab(int index);
    void SetTab(int index, int points);
    int TabCount();
    // Points (the newer library only).
    int SpaceBefore();
    void SetSpaceBefore(int points);
    int SpaceAfter();
    void SetSpaceAfter(int points);
    int LineSpacing();
    void SetLineSpacing(int points);
    // The control's line-spacing rule byte, as it stands.
    int LineSpacingRule();
    void SetLineSpacingRule(int rule);

    // The whole paragraph format from another TParaAttributes2 (the fields that differ).
    void Assign(TPersistent* source) override;

    // The paragraph format as the control reports it now.
    TParaFormat Read();
    // Sends the fields of Changed that differ from what the control has; returns the mask sent
    // (0: nothing was sent).
    uint32_t Write(const TParaFormat& changed);
    // The whole record of the control, and the same record written (for callers that keep one).
    PARAFORMAT2 ReadRecord();
    void WriteRecord(const PARAFORMAT2& record);

private:
    UINT RecordSize();
    bool Version2();

    TRichEdit2& owner_;
};

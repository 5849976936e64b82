#include "editor/para_attributes_win.h"

#include <algorithm>
#include <cstring>

#include "editor/rich_edit_win.h"

namespace {

TParaFormat FromRecord(const PARAFORMAT2& r) {
    TParaFormat f;
    f.Mask = r.dwMask;
    f.Numbering = r.wNumbering;
    f.StartIndent = r.dxStartIndent;
    f.RightIndent = r.dxRightIndent;
    f.Offset = r.dxOffset;
    f.Alignment = r.wAlignment;
    f.TabCount = static_cast<int16_t>(std::clamp<int>(r.cTabCount, 0, MaxTabStops));
    for (int i = 0; i < MaxTabStops; ++i) f.Tabs[static_cast<size_t>(i)] = r.rgxTabs[i];
    f.SpaceBefore = r.dySpaceBefore;
    f.SpaceAfter = r.dySpaceAfter;
    f.LineSpacing = r.dyLineSpacing;
    f.LineSpacingRule = r.bLineSpacingRule;
    return f;
}

void ToRecord(const TParaFormat& f, PARAFORMAT2& r) {
    r.wNumbering = f.Numbering;
    r.dxStartIndent = f.StartIndent;
    r.dxRightIndent = f.RightIndent;
    r.dxOffset = f.Offset;
    r.wAlignment = f.Alignment;
    r.cTabCount = f.TabCount;
    for (int i = 0; i < MaxTabStops; ++i) r.rgxTabs[i] = f.Tabs[static_cast<size_t>(i)];
    r.dySpaceBefore = f.SpaceBefore;
    r.dySpaceAfter = f.SpaceAfter;
    r.dyLineSpacing = f.LineSpacing;
    r.bLineSpacingRule = f.LineSpacingRule;
}

}  // namespace

const TClassInfo& TParaAttributes2::StaticClass() {
    static const TClassInfo info{"TParaAttributes2", &TPersistent::StaticClass(), {}, {}};
    return info;
}

TParaAttributes2::TParaAttributes2(TRichEdit2& owner) : owner_(owner) {}

bool TParaAttributes2::Version2() { return owner_.RichEditVersion() >= 2; }

UINT TParaAttributes2::RecordSize() { return Version2() ? sizeof(PARAFORMAT2) : sizeof(PARAFORMAT); }

PARAFORMAT2 TParaAttributes2::ReadRecord() {
    PARAFORMAT2 r{};
    r.cbSize = RecordSize();
    if (owner_.RichEditVersion() == 0) {
        r.wAlignment = PFA_LEFT;
        return r;
    }
    SendMessageW(owner_.Handle(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TParaAttributes2::WriteRecord(const PARAFORMAT2& record) {
    Write(FromRecord(record));
}

TParaFormat TParaAttributes2::Read() { return FromRecord(ReadRecord()); }

uint32_t TParaAttributes2::Write(const TParaFormat& changed) {
    if (owner_.RichEditVersion() == 0) return 0;
    PARAFORMAT2 record = ReadRecord();
    const uint32_t mask = ParaChangeMask(FromRecord(record), changed, Version2());
    if (mask == 0) return 0;
    ToRecord(changed, record);
    record.cbSize = RecordSize();
    record.dwMask = mask;
    SendMessageW(owner_.Handle(), EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&record));
    return mask;
}

TAlignment TParaAttributes2::Alignment() {
    switch (Read().Alignment) {
    case PFA_RIGHT: return taRightJustify;
    case PFA_CENTER: return taCenter;
    default: return taLeftJustify;
    }
}

void TParaAttributes2::SetAlignment(TAlignment alignment) {
    TParaFormat f = Read();
    f.Alignment = static_cast<uint16_t>(static_cast<int>(alignment) + 1);
    Write(f);
}

int TParaAttributes2::FirstIndent() { return Read().StartIndent / 20; }

void TParaAttributes2::SetFirstIndent(int points) {
    TParaFormat f = Read();
    f.StartIndent = points * 20;
    Write(f);
}

int TParaAttributes2::LeftIndent() { return Read().Offset / 20; }

void TParaAttributes2::SetLeftIndent(int points) {
    TParaFormat f = Read();
    f.Offset = points * 20;
    Write(f);
}

int TParaAttributes2::RightIndent() { return Read().RightIndent / 20; }

void TParaAttributes2::SetRightIndent(int points) {
    TParaFormat f = Read();
    f.RightIndent = points * 20;
    Write(f);
}

TNumberingStyle TParaAttributes2::Numbering() {
    return Read().Numbering == PFN_BULLET ? nsBullet : nsNone;
}

void TParaAttributes2::SetNumbering(TNumberingStyle numbering) {
    if (numbering == nsNone) SetLeftIndent(0);
    else if (LeftIndent() < 10) SetLeftIndent(10);
    TParaFormat f = Read();
    f.Numbering = numbering == nsBullet ? PFN_BULLET : 0;
    Write(f);
}

int TParaAttributes2::Tab(int index) { return TabStop(Read(), index) / 20; }

void TParaAttributes2::SetTab(int index, int points) {
    TParaFormat f = Read();
    SetTabStop(f, index, points * 20);
    Write(f);
}

int TParaAttributes2::TabCount() { return Read().TabCount; }

int TParaAttributes2::SpaceBefore() { return Read().SpaceBefore / 20; }

void TParaAttributes2::SetSpaceBefore(int points) {
    TParaFormat f = Read();
    f.SpaceBefore = points * 20;
    Write(f);
}

int TParaAttributes2::SpaceAfter() { return Read().SpaceAfter / 20; }

void TParaAttributes2::SetSpaceAfter(int points) {
    TParaFormat f = Read();
    f.SpaceAfter = points * 20;
    Write(f);
}

int TParaAttributes2::LineSpacing() { return Read().LineSpacing / 20; }

void TParaAttributes2::SetLineSpacing(int points) {
    TParaFormat f = Read();
    f.LineSpacing = points * 20;
    Write(f);
}

int TParaAttributes2::LineSpacingRule() { return Read().LineSpacingRule; }

void TParaAttributes2::SetLineSpacingRule(int rule) {
    TParaFormat f = Read();
    f.LineSpacingRule = static_cast<uint8_t>(rule);
    Write(f);
}

void TParaAttributes2::Assign(TPersistent* source) {
    if (auto* other = dynamic_cast<TParaAttributes2*>(source)) {
        Write(other->Read());
        return;
    }
    TPersistent::Assign(source);
}

// The character and paragraph attributes of the rich edit control: automatic text and
// background colours, one effect set on a mixed selection, faces on mixed faces, size and
// height, pitch and protection, the default attributes following the font, copying attributes,
// and paragraph writes that send only what changes (nothing for unchanged values).
#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/format.h"
#include "tests/wine/rich_edit_testing_win.h"

namespace {

using RichEdit2AttributesTest = RichEditFormTest;

void Select(TRichEdit2& editor, int start, int length) {
    editor.SetSelStart(start);
    editor.SetSelLength(length);
}

TEST_F(RichEdit2AttributesTest, WindowTextColourIsTheAutomaticColour) {
    editor->Lines().SetText("farbig");
    Select(*editor, 0, 6);
    TTextAttributes2& a = editor->SelAttributes();
    a.SetColor(clRed);
    EXPECT_EQ(a.Color(), clRed);
    EXPECT_FALSE(a.Read().Effects & cfeAutoColor);
    a.SetColor(clWindowText);
    EXPECT_TRUE(a.Read().Effects & cfeAutoColor) << "the automatic colour, not black";
    EXPECT_EQ(a.Color(), clWindowText);
    // Another system colour is written as its RGB value.
    a.SetColor(clBtnFace);
    EXPECT_FALSE(a.Read().Effects & cfeAutoColor);
    EXPECT_EQ(static_cast<COLORREF>(a.Color()), ColorToRGB(clBtnFace));
}

TEST_F(RichEdit2AttributesTest, TheControlColourIsTheAutomaticBackground) {
    editor->Lines().SetText("hinterlegt");
    Select(*editor, 0, 10);
    TTextAttributes2& a = editor->SelAttributes();
    a.SetBackColor(clYellow);
    EXPECT_EQ(a.BackColor(), clYellow);
    a.SetBackColor(editor->Color());
    EXPECT_TRUE(a.Read().Effects & cfeAutoBackColor);
    EXPECT_EQ(a.BackColor(), editor->Color());
    // The control's colour reaches its background.
    editor->SetColor(clAqua);
    EXPECT_EQ(a.BackColor(), clAqua) << "the automatic background follows the control";
}

TEST_F(RichEdit2AttributesTest, OneEffectOnAMixedSelectionLeavesTheOthers) {
    editor->Lines().SetText("ab");
    Select(*editor, 0, 1);
    editor->SelAttributes().SetStyle({fsItalic});
    Select(*editor, 1, 1);
    editor->SelAttributes().SetStyle({fsUnderline});
    Select(*editor, 0, 2);
    TFontStyles mixed = editor->SelAttributes().Style();
    EXPECT_FALSE(mixed.Has(fsItalic)) << "a mixed effect reads as unset";
    editor->SelAttributes().SetStyle(mixed + fsBold);
    Select(*editor, 0, 1);
    EXPECT_EQ(editor->SelAttributes().Style(), TFontStyles({fsBold, fsItalic}));
    Select(*editor, 1, 1);
    EXPECT_EQ(editor->SelAttributes().Style(), TFontStyles({fsBold, fsUnderline}));
    // Taking an effect that is uniform away leaves the mixed ones as well.
    Select(*editor, 0, 2);
    editor->SelAttributes().SetStyle(editor->SelAttributes().Style() - fsBold);
    Select(*editor, 0, 1);
    EXPECT_EQ(editor->SelAttributes().Style(), TFontStyles({fsItalic}));
    Select(*editor, 1, 1);
    EXPECT_EQ(editor->SelAttributes().Style(), TFontStyles({fsUnderline}));
}

TEST_F(RichEdit2AttributesTest, AFaceWrittenOnMixedFacesReachesEveryCharacter) {
    editor->Lines().SetText("ab");
    Select(*editor, 0, 1);
    editor->SelAttributes().SetName("Arial");
    Select(*editor, 1, 1);
    editor->SelAttributes().SetName("Courier New");
    Select(*editor, 0, 2);
    EXPECT_FALSE(editor->SelAttributes().Read().Mask & cfmFace) << "the faces are mixed";
    // The face the mixed selection reports is written all the same.
    const std::string reported = editor->SelAttributes().Name();
    editor->SelAttributes().SetName(reported);
    EXPECT_TRUE(editor->SelAttributes().Read().Mask & cfmFace);
    Select(*editor, 0, 1);
    const std::string first = editor->SelAttributes().Name();
    Select(*editor, 1, 1);
    EXPECT_EQ(editor->SelAttributes().Name(), first);
    // On a uniform selection an equal name (in other letter case) sends nothing.
    Select(*editor, 0, 2);
    TMessageSpy spy(editor->Handle(), {EM_SETCHARFORMAT});
    editor->SelAttributes().SetName(UpperCase(first));
    editor->SelAttributes().SetCharset(editor->SelAttributes().Charset());
    EXPECT_EQ(spy.Count(EM_SETCHARFORMAT), 0);
}

TEST_F(RichEdit2AttributesTest, SizeHeightPitchAndProtection) {
    editor->Lines().SetText("Text");
    Select(*editor, 0, 4);
    TTextAttributes2& a = editor->SelAttributes();
    a.SetSize(14);
    EXPECT_EQ(a.Size(), 14);
    EXPECT_EQ(a.Read().Height, 280) << "twips";
    EXPECT_EQ(a.Height(), MulDiv(14, editor->ScreenPixelsPerInch(), 72));
    a.SetHeight(32);
    EXPECT_EQ(a.Size(), MulDiv(32, 72, editor->ScreenPixelsPerInch()));
    a.SetName("Courier New");
    a.SetPitch(fpFixed);
    EXPECT_EQ(a.Pitch(), fpFixed);
    a.SetPitch(fpVariable);
    EXPECT_EQ(a.Pitch(), fpVariable);
    EXPECT_EQ(a.Name(), "Courier New") << "the pitch travels with the face";
    EXPECT_FALSE(a.Protected());
    a.SetProtected(true);
    EXPECT_TRUE(a.Protected());
    a.SetProtected(false);
    EXPECT_FALSE(a.Protected());
}

TEST_F(RichEdit2AttributesTest, DefaultAttributesFollowTheFont) {
    editor->Font().SetName("Courier New");
    editor->Font().SetSize(12);
    editor->Font().SetColor(clNavy);
    EXPECT_EQ(editor->DefAttributes().Name(), "Courier New");
    EXPECT_EQ(editor->DefAttributes().Size(), 12);
    EXPECT_EQ(editor->DefAttributes().Color(), clNavy);
    // Text typed into an empty control takes them.
    editor->SetFocus();
    WaitFor([&] { return editor->Focused(); });
    ChordKey({}, 'Q');
    WaitFor([&] { return PlainOf(*editor) == "q"; });
    Select(*editor, 0, 1);
    EXPECT_EQ(editor->SelAttributes().Name(), "Courier New");
    EXPECT_EQ(editor->SelAttributes().Size(), 12);
}

TEST_F(RichEdit2AttributesTest, AttributesCopyToAndFromFontsAndEachOther) {
    editor->Lines().SetText("ab");
    TFont font;
    font.SetName("Courier New");
    font.SetSize(18);
    font.SetStyle({fsBold, fsStrikeOut});
    font.SetColor(clGreen);
    Select(*editor, 0, 1);
    editor->SelAttributes().Assign(&font);
    EXPECT_EQ(editor->SelAttributes().Name(), "Courier New");
    EXPECT_EQ(editor->SelAttributes().Size(), 18);
    EXPECT_EQ(editor->SelAttributes().Style(), TFontStyles({fsBold, fsStrikeOut}));
    EXPECT_EQ(editor->SelAttributes().Color(), clGreen);
    TFont back;
    editor->SelAttributes().AssignTo(&back);
    EXPECT_EQ(back.Name(), "Courier New");
    EXPECT_EQ(back.Size(), 18);
    EXPECT_EQ(back.Style(), TFontStyles({fsBold, fsStrikeOut}));
    EXPECT_EQ(back.Color(), clGreen);
    // The default attributes take the whole format of the selection's.
    editor->DefAttributes().Assign(&editor->SelAttributes());
    EXPECT_EQ(editor->DefAttributes().Name(), "Courier New");
    EXPECT_EQ(editor->DefAttributes().Size(), 18);
    EXPECT_THROW(editor->SelAttributes().Assign(&editor->Paragraph()), Exception);
}

TEST_F(RichEdit2AttributesTest, ParagraphPropertiesInTheirUnits) {
    editor->Lines().SetText("absatz");
    Select(*editor, 0, 0);
    TParaAttributes2& p = editor->Paragraph();
    EXPECT_EQ(p.Alignment(), taLeftJustify);
    for (TAlignment a : {taCenter, taRightJustify, taLeftJustify}) {
        p.SetAlignment(a);
        EXPECT_EQ(p.Alignment(), a);
    }
    p.SetFirstIndent(20);
    p.SetLeftIndent(15);
    p.SetRightIndent(30);
    EXPECT_EQ(p.FirstIndent(), 20);
    EXPECT_EQ(p.LeftIndent(), 15);
    EXPECT_EQ(p.RightIndent(), 30);
    EXPECT_EQ(p.Read().StartIndent, 400) << "twips";
    p.SetSpaceBefore(3);
    p.SetSpaceAfter(9);
    EXPECT_EQ(p.SpaceBefore(), 3);
    EXPECT_EQ(p.SpaceAfter(), 9);
    p.SetLineSpacingRule(4);  // exact spacing in twips
    p.SetLineSpacing(18);
    EXPECT_EQ(p.LineSpacingRule(), 4);
    EXPECT_EQ(p.LineSpacing(), 18);
    EXPECT_EQ(p.Read().LineSpacing, 360);
}

TEST_F(RichEdit2AttributesTest, NumberingSetsTheHangingIndent) {
    editor->Lines().SetText("punkt");
    TParaAttributes2& p = editor->Paragraph();
    p.SetLeftIndent(4);
    p.SetNumbering(nsBullet);
    EXPECT_EQ(p.Numbering(), nsBullet);
    EXPECT_EQ(p.LeftIndent(), 10) << "raised to 10";
    p.SetNumbering(nsNone);
    EXPECT_EQ(p.LeftIndent(), 0);
    p.SetLeftIndent(25);
    p.SetNumbering(nsBullet);
    EXPECT_EQ(p.LeftIndent(), 25) << "more than 10 stays";
}

TEST_F(RichEdit2AttributesTest, TabCountCoversTheStopWritten) {
    editor->Lines().SetText("a\tb");
    TParaAttributes2& p = editor->Paragraph();
    p.SetTab(0, 36);
    EXPECT_EQ(p.TabCount(), 1);
    EXPECT_EQ(p.Tab(0), 36);
    p.SetTab(3, 144);
    EXPECT_EQ(p.TabCount(), 4);
    EXPECT_EQ(p.Tab(3), 144);
    p.SetTab(1, 72);
    EXPECT_EQ(p.TabCount(), 4);
    EXPECT_EQ(p.Tab(1), 72);
    EXPECT_THROW(p.SetTab(32, 10), Exception);
}

TEST_F(RichEdit2AttributesTest, WritingAParagraphValueItHasSendsNothing) {
    editor->Lines().SetText("gleich");
    TParaAttributes2& p = editor->Paragraph();
    p.SetAlignment(taCenter);
    p.SetFirstIndent(10);
    p.SetTab(0, 50);
    p.SetSpaceBefore(4);
    TMessageSpy spy(editor->Handle(), {EM_SETPARAFORMAT});
    uint32_t sent = 0;
    spy.OnMessage = [&](UINT, WPARAM, LPARAM record) { sent = reinterpret_cast<const PARAFORMAT2*>(record)->dwMask; };
    p.SetAlignment(taCenter);
    p.SetFirstIndent(10);
    p.SetRightIndent(p.RightIndent());
    p.SetLeftIndent(p.LeftIndent());
    p.SetTab(0, 50);
    p.SetSpaceBefore(4);
    p.SetNumbering(nsNone);
    EXPECT_EQ(spy.Count(EM_SETPARAFORMAT), 0);
    // A real change sends just its own bit.
    p.SetSpaceAfter(7);
    EXPECT_EQ(spy.Count(EM_SETPARAFORMAT), 1);
    EXPECT_EQ(sent, static_cast<uint32_t>(PFM_SPACEAFTER));
    p.SetAlignment(taRightJustify);
    EXPECT_EQ(sent, static_cast<uint32_t>(PFM_ALIGNMENT));
}

}  // namespace

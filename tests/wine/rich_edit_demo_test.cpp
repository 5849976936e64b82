// The demonstration window with formatted text: bold, italic, colours, a bullet list, indents
// and a background colour, shown and photographed, and the text's formatting checked where the
// picture shows it.
#include <gtest/gtest.h>

#include "tests/wine/rich_edit_testing_win.h"

namespace {

using RichEditDemoTest = RichEditFormTest;

std::string DemoRtf() {
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
           "{\\colortbl ;\\red200\\green0\\blue0;\\red0\\green110\\blue0;\\red0\\green0\\blue200;"
           "\\red255\\green240\\blue120;\\red210\\green230\\blue255;}"
           "\\pard\\f0\\fs32\\b Quorvel Schnelltext\\b0\\par"
           "\\pard\\fs20 Ein Text mit {\\b fetten}, {\\i kursiven} und {\\ul unterstrichenen} W\\'f6rtern.\\par"
           "\\pard Farben: {\\cf1 rot}, {\\cf2 gr\\'fcn}, {\\cf3 blau}.\\par"
           "\\pard {\\highlight4 gelb hinterlegt} und {\\highlight5 hellblau hinterlegt}\\par"
           "\\pard\\li720 eingezogen um einen halben Zoll,\\par"
           "\\pard\\li1440\\ri720 noch weiter eingezogen und rechts ebenso, so dass die Zeile umbricht und "
           "der Einzug auf beiden Seiten zu sehen ist.\\par"
           "\\pard\\qc zentriert\\par"
           "\\pard\\qr rechtsb\\'fcndig\\par"
           "\\pard{\\f1 Courier New f\\'fcr Code}\\par"
           "}";
}

TEST_F(RichEditDemoTest, FormattedTextAsTheUserSeesIt) {
    form->SetBounds(100, 60, 620, 460);
    LoadText(*editor, DemoRtf());
    // A bullet list, made through the paragraph attributes.
    editor->SetSelStart(editor->TextLength());
    editor->SetSelText("\r\nerster Punkt\r\nzweiter Punkt\r\ndritter Punkt");
    const int lines = editor->Lines().Count();
    for (int line = lines - 3; line < lines; ++line) {
        editor->SetSelStart(static_cast<int>(SendMessageW(editor->Handle(), EM_LINEINDEX, line, 0)));
        editor->SetSelLength(static_cast<int>(editor->Lines().Get(line).size()));
        editor->Paragraph().SetNumbering(nsBullet);
        editor->SelAttributes().SetName("Arial");
        editor->SelAttributes().SetColor(clNavy);
    }
    editor->SetSelStart(0);
    WaitForInputHandled();
    Shot(form->Handle(), "rich_edit_demo");

    editor->SetSelStart(editor->TextLength());
    EXPECT_EQ(editor->Paragraph().Numbering(), nsBullet);
    editor->SetSelStart(editor->TextLength() - 3);
    editor->SetSelLength(3);
    EXPECT_EQ(editor->SelAttributes().Color(), clNavy);
    editor->SetSelStart(0);
    editor->SetSelLength(5);
    EXPECT_TRUE(editor->SelAttributes().Style().Has(fsBold));
    EXPECT_EQ(editor->SelAttributes().Size(), 16);
    EXPECT_EQ(editor->Lines().Get(0), "Quorvel Schnelltext");
}

TEST_F(RichEditDemoTest, TheSameTextInTheOlderLibrary) {
    TRichEditLibrary older({{"RICHED32.DLL", "RICHEDIT", 1}});
    auto* oldForm = NewForm<TRichEditDemoForm>(nullptr, &older);
    oldForm->SetBounds(160, 100, 620, 460);
    oldForm->Show();
    ASSERT_EQ(oldForm->Editor->RichEditVersion(), 1);
    LoadText(*oldForm->Editor, DemoRtf());
    WaitForInputHandled();
    Shot(oldForm->Handle(), "rich_edit_demo_older_library");
    EXPECT_EQ(oldForm->Editor->Lines().Get(0), "Quorvel Schnelltext");
    delete oldForm;
}

}  // namespace

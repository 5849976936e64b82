#include "tests/formats/format_samples.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "config/configuration.h"
#include "nodes/node_registry.h"

namespace {

// The Data property of an item: a 32-bit little-endian count, then the bytes.
std::vector<uint8_t> DataValue(const std::string& rtf) {
    const uint32_t size = static_cast<uint32_t>(rtf.size());
    std::vector<uint8_t> value(4 + rtf.size());
    for (int i = 0; i < 4; ++i) value[i] = static_cast<uint8_t>(size >> (8 * i));
    std::copy(rtf.begin(), rtf.end(), value.begin() + 4);
    return value;
}

TTextNode* AddItem(TTextNode* parent, const std::string& text, const std::string& rtf) {
    TTextData* item = TTextNode::CreateNew<TTextData>();
    item->SetText(text);
    item->SetDataValue(DataValue(rtf));
    item->SetParent(parent);
    return item;
}

TTextNode* AddGroup(TTextNode* parent, const std::string& text) {
    TTextGroup* group = TTextNode::CreateNew<TTextGroup>();
    group->SetText(text);
    group->SetParent(parent);
    return group;
}

// A 2 x 2 bitmap of 24 bits: blue, green / red, white (rows bottom-up, padded to 4 bytes).
std::vector<uint8_t> SampleBitmap() {
    return {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,           // file header
            40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,          // info header
            0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            0, 0, 0, 0, 0, 0, 0, 0,
            0, 0, 255, 255, 255, 255, 0, 0,                              // red, white
            255, 0, 0, 0, 255, 0, 0, 0};                                 // blue, green
}

// A single-image icon file of 1 x 1 pixel, 1 bit, with its mask.
std::vector<uint8_t> SampleIcon() {
    return {0, 0, 1, 0, 1, 0,                                            // directory
            1, 1, 2, 0, 1, 0, 1, 0, 56, 0, 0, 0, 22, 0, 0, 0,            // one entry, 56 bytes at 22
            40, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 1, 0,             // info header, height x 2
            0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            0, 0, 0, 0, 0, 0, 0, 0,
            0, 0, 0, 0, 255, 255, 255, 0,                                // black, white
            0x80, 0, 0, 0,                                               // colour row
            0, 0, 0, 0};                                                 // mask row
}

}  // namespace

std::unique_ptr<TTextNode> MakeSampleLibrary() {
    std::unique_ptr<TTextNode> top(TTextNode::CreateTop());
    TTextNode* letters = AddGroup(top.get(), "Briefe");
    AddItem(letters, "Gr\xFC\xDF" "e", "{\\rtf1\\ansi Mit freundlichen Gr\\'fc\\'dfen\\par}");
    AddItem(letters, "Anrede", "{\\rtf1\\ansi {\\b Sehr geehrte} Damen und Herren,\\par}");
    TTextNode* inner = AddGroup(letters, "Intern");
    AddItem(inner, "Leer", "");
    inner->SetBitmap(7);
    AddItem(top.get(), "Adresse", "{\\rtf1\\ansi Hauptstra\\'dfe 1\\line 12345 Ort\\par}");
    letters->Expand(false);
    return top;
}

// Every configuration node below Node gets the same time stamp, so that the sample does not
// depend on when it was made.
void StampConfigNodes(TNode* node, TDateTime when) {
    if (auto* config = dynamic_cast<TConfigNode*>(node)) config->SetLastModified(when);
    for (int i = 0; i < node->ChildCount(); ++i) StampConfigNodes(node->Child(i), when);
}

void RegisterSampleClasses() {
    RegisterTextNodeClasses();
    RegisterNodeClasses({&TConfigNode::StaticClass(), &TConfigRootNode::StaticClass()});
}

std::unique_ptr<TConfigRootNode> MakeSampleConfiguration() {
    std::unique_ptr<TConfigRootNode> root(TConfigRootNode::CreateEmpty());
    WriteValueIn(root.get(), "Erstellt am", TNodeValue::Of(std::string("08.12.2026 09:30:00")));
    WriteValueIn(root.get(), "TApplication\\VarnoletWin\\Left", TNodeValue::Of(int32_t(-12)));
    WriteValueIn(root.get(), "TApplication\\VarnoletWin\\Top", TNodeValue::Of(int32_t(2147483647)));
    WriteValueIn(root.get(), "TApplication\\VarnoletWin\\TopMost", TNodeValue::OfBool(true));
    WriteValueIn(root.get(), "TApplication\\VarnoletWin\\FileName", TNodeValue::Of(std::string("C:\\Texte\\B\xFC" "ro.STD")));
    WriteValueIn(root.get(), "TApplication\\Kalender\\Zoom", TNodeValue::Of(1.25));
    WriteValueIn(root.get(), "TApplication\\Kalender\\Leer", TNodeValue::Of(std::string("")));
    StampConfigNodes(root.get(), 46364.5);
    return root;
}

TPictureFile MakeSamplePictureFile() {
    TPictureFile file;
    file.Name = "Symbole";
    file.Tag = 3;
    // A list that was changed carries poModified in its default option when it is saved.
    file.DefaultOption = TPictOption{poLeft, poTop, poMasked, poModified};
    file.IDMinimum = 1;
    file.IDMaximum = 500;
    TPictureFileEntry bitmap;
    bitmap.ID = 1;
    // Entries that were changed since the list was loaded carry poModified too.
    bitmap.Option = TPictOption{poLeft, poRight, poTop, poBottom, poBrushCopy, poModified};
    bitmap.Image = TImageRecord{"TBitmap", SampleBitmap()};
    TPictureFileEntry icon;
    icon.ID = 2;
    icon.Option = TPictOption{poStretch, poMasked, poModified};
    icon.Image = TImageRecord{"TIcon", SampleIcon()};
    TPictureFileEntry far;
    far.ID = 400;
    far.Option = TPictOption{poRight, poBottom, poTiled, poModified};
    far.Image = TImageRecord{"TBitmap", SampleBitmap()};
    file.Entries = {bitmap, icon, far};
    return file;
}

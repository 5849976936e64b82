// The quick-text node classes: new entries, where entries may go, and what the file stores
// for each node (always symbol and state, the text unless it is the class name, the RTF text
// as a counted binary value), and the answers to the node grid's picture queries.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "app/symbol_pictures.h"
#include "app/text_node.h"
#include "nodes/node_picture_info.h"
#include "base/component_reader.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "nodes/node_stream.h"

namespace {

// The properties of each record of a component stream, in record order.
class TRecordProperties : public TComponentStreamHandler {
public:
    std::vector<std::map<std::string, TStreamScalar>> records;

    void BeginObject(const std::string&, const std::string&) override { records.emplace_back(); }
    void EndObject() override {}
    void BeginProperty(const std::string& name) override { property_ = name; }
    void Value(const TStreamScalar& value) override { records.back()[property_] = value; }
    void BeginList() override {}
    void EndList() override {}
    void EndProperty() override {}

private:
    std::string property_;
};

TRecordProperties Records(TNode* root) {
    TMemoryStream stream;
    SaveToStream(root, stream, false);
    stream.SetPosition(0);
    TRecordProperties handler;
    TComponentParser(stream).Parse(handler);
    return handler;
}

class TextNodeTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterTextNodeClasses(); }
};

}  // namespace

TEST_F(TextNodeTest, NewEntriesGetTheirTextsSymbolsAndOrder) {
    std::unique_ptr<TTextGroup> group(TTextNode::CreateNew<TTextGroup>());
    EXPECT_EQ(group->Text(), "Neue Gruppe");
    EXPECT_EQ(group->Bitmap(), SymbolGroup);
    EXPECT_FALSE(group->State().Has(nsReadOnly));
    EXPECT_TRUE(group->Option().Has(noCanSort));
    std::unique_ptr<TTextData> item(TTextNode::CreateNew<TTextData>());
    EXPECT_EQ(item->Text(), "Neuer Text");
    EXPECT_EQ(item->Bitmap(), SymbolText);
    std::unique_ptr<TTextNode> top(TTextNode::CreateTop());
    EXPECT_EQ(top->Text(), LoadStr(sid::ProgramName));
    EXPECT_EQ(top->Bitmap(), SymbolTop);
}

TEST_F(TextNodeTest, WhereGroupsAndItemsMayGo) {
    std::unique_ptr<TTextNode> top(TTextNode::CreateTop());
    TTextGroup* group = TTextNode::CreateNew<TTextGroup>();
    group->SetParent(top.get());
    TTextData* item = TTextNode::CreateNew<TTextData>();
    item->SetParent(group);
    TTextGroup* inner = TTextNode::CreateNew<TTextGroup>();
    inner->SetParent(group);
    TTextData* underItem = TTextNode::CreateNew<TTextData>();
    underItem->SetParent(item);
    TTextData* underTop = TTextNode::CreateNew<TTextData>();
    underTop->SetParent(top.get());
    EXPECT_EQ(top->Count(), 5);

    TTextGroup* refused = TTextNode::CreateNew<TTextGroup>();
    try {
        refused->SetParent(item);
        FAIL() << "a group went under a text item";
    } catch (const ENodeError& e) {
        EXPECT_EQ(e.Id(), sid::NodeCannotAssign);
    }
    EXPECT_EQ(refused->Parent(), nullptr);
    delete refused;
}

TEST_F(TextNodeTest, EveryNodeStoresSymbolAndStateAndOnlyRealTexts) {
    std::unique_ptr<TTextNode> top(TTextNode::CreateTop());
    TTextData* named = TTextNode::CreateNew<TTextData>();
    named->SetText("TTextData");  // the class name: not stored
    named->SetParent(top.get());
    TTextData* zero = TTextNode::CreateNew<TTextData>();
    zero->SetBitmap(0);
    zero->SetParent(top.get());
    auto records = Records(top.get()).records;
    ASSERT_EQ(records.size(), 3u);
    for (auto& record : records) {
        EXPECT_TRUE(record.count("_.Bitmap"));
        EXPECT_TRUE(record.count("_.State"));
        EXPECT_FALSE(record.count("_.Data"));
    }
    EXPECT_EQ(records[0]["_.Text"].Text, LoadStr(sid::ProgramName));
    EXPECT_EQ(records[1]["_.Bitmap"].Integer, 0);
    EXPECT_FALSE(records[2].count("_.Text"));

    TMemoryStream file;
    SaveToStream(top.get(), file, true);
    file.SetPosition(0);
    std::unique_ptr<TNode> loaded(LoadFromStream(file));
    // Read back with an empty text, which now sorts first.
    EXPECT_EQ(loaded->Child(0)->Text(), "");
    EXPECT_EQ(loaded->Child(1)->Bitmap(), 0);
}

TEST_F(TextNodeTest, TheTextIsACountedBinaryValue) {
    std::unique_ptr<TTextNode> top(TTextNode::CreateTop());
    TTextData* item = TTextNode::CreateNew<TTextData>();
    item->SetParent(top.get());
    std::string rtf(1000, 'r');
    rtf.replace(0, 6, "{\\rtf1");
    item->GetDataStream().WriteBuffer(rtf.data(), rtf.size());

    auto records = Records(top.get()).records;
    const std::string& data = records[1]["_.Data"].Text;
    ASSERT_EQ(data.size(), 1004u);
    EXPECT_EQ(static_cast<uint8_t>(data[0]) | static_cast<uint8_t>(data[1]) << 8, 1000);
    EXPECT_EQ(data[2], 0);
    EXPECT_EQ(data[3], 0);
    EXPECT_EQ(data.substr(4), rtf);

    TMemoryStream file;
    SaveToStream(top.get(), file, true);
    file.SetPosition(0);
    std::unique_ptr<TNode> loaded(LoadFromStream(file));
    auto* copy = dynamic_cast<TTextData*>(loaded->Child(0));
    ASSERT_NE(copy, nullptr);
    TMemoryStream& stream = copy->GetDataStream();
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(stream.Memory()), stream.Size()), rtf);
}

TEST_F(TextNodeTest, ACountBeyondTheBytesIsADamagedFile) {
    std::unique_ptr<TTextData> item(TTextNode::CreateNew<TTextData>());
    EXPECT_THROW(item->SetDataValue({0xFF, 0xFF, 0xFF, 0x7F, 'a'}), EReadError);
    EXPECT_THROW(item->SetDataValue({1, 0}), EReadError);
    item->SetDataValue({2, 0, 0, 0, 'o', 'k', 'x'});  // bytes past the count are ignored
    EXPECT_EQ(item->DataSize(), 2);
}

// A file whose text value holds more bytes than its count loads the counted ones and goes on
// after the value; a count beyond the value, or a value too short for a count, is a damaged
// file.
TEST_F(TextNodeTest, TheStoredCountDecidesWhatALoadedTextKeeps) {
    std::unique_ptr<TTextNode> top(TTextNode::CreateTop());
    TTextData* item = TTextNode::CreateNew<TTextData>();
    item->SetParent(top.get());
    item->GetDataStream().WriteBuffer("abcdef", 6);
    TTextData* second = TTextNode::CreateNew<TTextData>();
    second->SetText("Zweiter");
    second->SetParent(top.get());
    TMemoryStream file;
    SaveToStream(top.get(), file, true);
    const std::vector<uint8_t> saved = file.Bytes();

    // The value of "_.Data": type 10, length 10, count 6, then the six bytes.
    const std::string name = "\x06_.Data";
    auto it = std::search(saved.begin(), saved.end(), name.begin(), name.end());
    ASSERT_NE(it, saved.end());
    const size_t value = static_cast<size_t>(it - saved.begin()) + name.size();
    ASSERT_EQ(saved[value], 10);
    ASSERT_EQ(saved[value + 5], 6);

    auto load = [](const std::vector<uint8_t>& bytes) {
        TMemoryStream stream;
        stream.WriteBuffer(bytes.data(), bytes.size());
        stream.SetPosition(0);
        return std::unique_ptr<TNode>(LoadFromStream(stream));
    };
    std::vector<uint8_t> shorter = saved;
    shorter[value + 5] = 3;
    std::unique_ptr<TNode> loaded = load(shorter);
    ASSERT_EQ(loaded->ChildCount(), 2);
    auto* first = dynamic_cast<TTextData*>(loaded->Child(0));
    ASSERT_NE(first, nullptr);
    TMemoryStream& data = first->GetDataStream();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.Memory()), data.Size()), "abc");
    EXPECT_EQ(loaded->Child(1)->Text(), "Zweiter");

    std::vector<uint8_t> longer = saved;
    longer[value + 5] = 7;
    try {
        load(longer);
        ADD_FAILURE() << "a count beyond the value was taken";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Id(), sid::InvalidStreamFormat);
    }

    // A value of three bytes: no room for the count.
    std::vector<uint8_t> tiny(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(value));
    tiny.insert(tiny.end(), {10, 3, 0, 0, 0, 'x', 'y', 'z'});
    tiny.insert(tiny.end(), saved.begin() + static_cast<std::ptrdiff_t>(value + 15), saved.end());
    try {
        load(tiny);
        ADD_FAILURE() << "a value without room for its count was taken";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Id(), sid::InvalidStreamFormat);
    }
}

TEST_F(TextNodeTest, TheClassListFollowsTheUseCounts) {
    std::unique_ptr<TTextNode> top(TTextNode::CreateTop());
    TTextGroup* group = TTextNode::CreateNew<TTextGroup>();
    group->SetParent(top.get());
    for (int i = 0; i < 5; ++i) TTextNode::CreateNew<TTextData>()->SetParent(group);
    TMemoryStream stream;
    SaveToStream(top.get(), stream, false);
    stream.SetPosition(0);
    struct TClassList : TComponentStreamHandler {
        std::vector<std::string> names;
        std::string property;
        int records = 0;
        void BeginObject(const std::string&, const std::string&) override { ++records; }
        void EndObject() override {}
        void BeginProperty(const std::string& n) override { property = n; }
        void Value(const TStreamScalar& v) override {
            if (property == "NodeList.Strings" && records == 1) names.push_back(v.Text);
        }
        void BeginList() override {}
        void EndList() override {}
        void EndProperty() override {}
    } list;
    TComponentParser(stream).Parse(list);
    ASSERT_FALSE(list.names.empty());
    EXPECT_EQ(list.names[0], "TTextData");
    EXPECT_EQ(list.names.size(), 4u);  // TTextData, TTextGroup, TTextNode, TNode
}

namespace {

// A picture list stand-in: numbered entries with a size and the stretched option.
class TFakePictures : public TSymbolPictures {
public:
    struct TEntry {
        int32_t Width, Height;
        bool Stretched;
    };
    std::map<int32_t, TEntry> entries;
    bool FindSymbol(int32_t id, TSymbolPicture& picture) const override {
        auto it = entries.find(id);
        if (it == entries.end()) return false;
        picture.Entry = EntryOf(id);
        picture.Width = it->second.Width;
        picture.Height = it->second.Height;
        picture.Stretched = it->second.Stretched;
        return true;
    }
    // A distinct address per number, standing for the list's entry.
    static TPictureEntry* EntryOf(int32_t id) { return reinterpret_cast<TPictureEntry*>(0x1000 + 16 * id); }
};

class SymbolPictureTest : public TextNodeTest {
protected:
    void SetUp() override { SetSymbolPictures(&pictures); }
    void TearDown() override { SetSymbolPictures(nullptr); }

    // The draw record of a cell whose symbol slot is Width pixels wide, after the node answered.
    TNodePictureInfo DrawInfo(TNode& node, int32_t width, intptr_t* result = nullptr) {
        TNodePictureInfo info;
        info.CellRect = {0, 0, 200, 18};
        info.Symbol.Rect = {20, 0, 20 + width, 18};
        const intptr_t answer = node.SendNodeMessage(NM_NODEDRAWINFO, 0xFFFF, reinterpret_cast<intptr_t>(&info));
        if (result) *result = answer;
        return info;
    }
    intptr_t RowHeight(TNode& node, intptr_t defaultHeight) {
        return node.SendNodeMessage(NM_NODEROWHEIGHT, defaultHeight, -1);
    }

    TFakePictures pictures;
};

}  // namespace

TEST_F(SymbolPictureTest, DrawInfoNamesTheSymbolAndWidensForUnstretchedPictures) {
    std::unique_ptr<TTextGroup> group(TTextNode::CreateNew<TTextGroup>());
    pictures.entries[SymbolGroup] = {24, 16, false};
    intptr_t result = 0;
    TNodePictureInfo info = DrawInfo(*group, 16, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(info.Symbol.ID, SymbolGroup);
    EXPECT_EQ(info.Symbol.Picture, TFakePictures::EntryOf(SymbolGroup));
    EXPECT_EQ(info.Symbol.Rect.Left, 20);
    EXPECT_EQ(info.Symbol.Rect.Right, 20 + 24 + 2);
    EXPECT_EQ(info.Symbol.Rect.Bottom, 18);

    // A slot that is wide enough already stays as it is.
    EXPECT_EQ(DrawInfo(*group, 26).Symbol.Rect.Right, 46);
    EXPECT_EQ(DrawInfo(*group, 40).Symbol.Rect.Right, 60);

    // A stretched picture fills whatever slot it gets.
    pictures.entries[SymbolGroup].Stretched = true;
    info = DrawInfo(*group, 16);
    EXPECT_EQ(info.Symbol.Picture, TFakePictures::EntryOf(SymbolGroup));
    EXPECT_EQ(info.Symbol.Rect.Right, 36);
}

TEST_F(SymbolPictureTest, DrawInfoWithoutAnEntryKeepsTheSlotAndStillAnswers) {
    std::unique_ptr<TTextData> item(TTextNode::CreateNew<TTextData>());
    item->SetBitmap(42);  // a number of an older file with no picture
    pictures.entries[SymbolText] = {32, 32, false};
    intptr_t result = 0;
    TNodePictureInfo info = DrawInfo(*item, 16, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(info.Symbol.ID, 42);
    EXPECT_EQ(info.Symbol.Picture, nullptr);
    EXPECT_EQ(info.Symbol.Rect.Right, 36);

    SetSymbolPictures(nullptr);  // before the main window made its list known
    item->SetBitmap(SymbolText);
    info = DrawInfo(*item, 16, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(info.Symbol.ID, SymbolText);
    EXPECT_EQ(info.Symbol.Picture, nullptr);
    EXPECT_EQ(info.Symbol.Rect.Right, 36);
}

TEST_F(SymbolPictureTest, RowHeightFitsUnstretchedPicturesInEvenHeights) {
    std::unique_ptr<TTextData> item(TTextNode::CreateNew<TTextData>());
    EXPECT_EQ(RowHeight(*item, 18), 18);  // no entry
    struct TCase {
        int32_t height;
        bool stretched;
        intptr_t expected;
    };
    const TCase cases[] = {
        {16, false, 18}, {17, false, 18}, {19, false, 20}, {20, false, 22},
        {10, false, 18}, {15, false, 18}, {40, true, 18},
    };
    for (const TCase& c : cases) {
        pictures.entries[SymbolText] = {16, c.height, c.stretched};
        EXPECT_EQ(RowHeight(*item, 18), c.expected) << c.height << (c.stretched ? " stretched" : "");
    }
}

TEST_F(SymbolPictureTest, OtherMessagesReachTheBaseNode) {
    std::unique_ptr<TTextData> item(TTextNode::CreateNew<TTextData>());
    int handled = 0;
    auto previous = TNode::NodeMenuHandler;
    TNode::NodeMenuHandler = [&](TNode*, intptr_t) { return ++handled > 0; };
    item->SetOption(item->Option() + noHasMenu);
    EXPECT_EQ(item->SendNodeMessage(NM_NODEMENU, 0, 0), 1);
    EXPECT_EQ(handled, 1);
    TNode::NodeMenuHandler = previous;
}

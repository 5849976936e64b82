// Node streams: the byte format, the class list, the write rules, reading with sorted insertion,
// files, clones, resources, the clipboard, and damaged input.
#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/clipboard.h"
#include "base/component_reader.h"
#include "base/exception.h"
#include "base/string_ids.h"
#include "base/text_form.h"
#include "nodes/node.h"
#include "nodes/node_object.h"
#include "nodes/node_registry.h"
#include "nodes/node_stream.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Stands in for the quick-text item classes: Bitmap and State always stored, formatted text as
// binary Data.
class TTestText : public TNode {
public:
    static const TNodeClassInfo& StaticClass() {
        static const TNodeClassInfo info = MakeNodeClass<TTestText>(
            "TTestText", &TNode::StaticClass(),
            {NodeBitmapProp(true), NodeStateProp(true),
             TypedProp<TTestText, Bytes>(
                 "Data", TPropKind::pkBinary, [](const TTestText& n) { return n.data; },
                 [](TTestText& n, const Bytes& v) { n.data = v; }, [](const TTestText& n) { return !n.data.empty(); })});
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
    Bytes data;
};

class TTestGroup : public TTestText {
public:
    static const TNodeClassInfo& StaticClass() {
        static const TNodeClassInfo info = MakeNodeClass<TTestGroup>("TTestGroup", &TTestText::StaticClass(), {});
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
    void InitNode() override { SetChildNodeClass(&TTestText::StaticClass()); }
};

class TTestData : public TTestText {
public:
    static const TNodeClassInfo& StaticClass() {
        static const TNodeClassInfo info = MakeNodeClass<TTestData>("TTestData", &TTestText::StaticClass(), {});
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

// Fills its children on demand, as lazily loaded subtrees do.
class TLazy : public TNode {
public:
    static const TNodeClassInfo& StaticClass() {
        static const TNodeClassInfo info = MakeNodeClass<TLazy>("TLazy", &TNode::StaticClass(), {});
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
    void DoExpand(bool expanding, bool recurse) override {
        if (!expanding || filled_) return;
        filled_ = true;
        for (const char* text : {"late 1", "late 2"}) InsertNode(-1, TNode::Create<TNode>(text), imChild | imIntoSelf);
    }

private:
    bool filled_ = false;
};

// Never registered.
class TUnlisted : public TNode {
public:
    static const TNodeClassInfo& StaticClass() {
        static const TNodeClassInfo info = MakeNodeClass<TUnlisted>("TUnlisted", &TNode::StaticClass(), {});
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

using NodePtr = std::unique_ptr<TNode>;

TNode* Add(TNode* parent, TNode* child, uint8_t mode = imChild | imIntoSelf) {
    parent->InsertNode(-1, child, mode);
    return child;
}

Bytes Save(TNode* node, bool asResource) {
    TMemoryStream stream;
    SaveToStream(node, stream, asResource);
    return stream.Bytes();
}

TMemoryStream StreamOf(const Bytes& bytes) {
    TMemoryStream stream;
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    return stream;
}

std::string AsText(TNode* node) {
    TMemoryStream stream = StreamOf(Save(node, false));
    return ComponentStreamToText(stream);
}

NodePtr Load(const Bytes& bytes) {
    TMemoryStream stream = StreamOf(bytes);
    return NodePtr(LoadFromStream(stream));
}

NodePtr LoadPlain(const Bytes& bytes) {
    TMemoryStream stream = StreamOf(bytes);
    return NodePtr(LoadFromComponentStream(stream));
}

Bytes Str(const std::string& text) {
    Bytes out(text.size() + 1);
    out[0] = static_cast<uint8_t>(text.size());
    std::copy(text.begin(), text.end(), out.begin() + 1);
    return out;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

bool Contains(const Bytes& haystack, const Bytes& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

std::string Texts(const TNode* node) {
    std::string out;
    for (int i = 0; i < node->ChildCount(); ++i) out += (i ? "," : "") + node->Child(i)->Text();
    return out;
}

std::string TempFile(const std::string& name) { return std::string(testing::TempDir()) + "node_stream_" + name; }

Bytes FileBytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class NodeStreamTest : public testing::Test {
protected:
    void SetUp() override {
        RegisterNodeClasses({&TTestText::StaticClass(), &TTestGroup::StaticClass(), &TTestData::StaticClass(),
                             &TLazy::StaticClass()});
    }
    void TearDown() override { EXPECT_EQ(NodeSaveMode(), 0); }
};

// A tree whose most frequent class is TTestData: root, a group with three items, one of them
// with values, symbol and formatted text.
NodePtr SampleTree() {
    NodePtr root(TNode::Create<TTestText>("Dadirevovezi"));
    TNode* group = Add(root.get(), TNode::Create<TTestGroup>("Briefe"));
    for (const char* text : {"Gruss", "Anrede", "Schluss"}) Add(group, TNode::Create<TTestData>(text));
    auto* item = static_cast<TTestData*>(group->FindPath("Gruss", false));
    item->SetBitmap(7);
    item->data = {'{', '\\', 'r', 't', 'f', '}'};
    item->SetValue("Farbe", TNodeValue::Of(int32_t(3)));
    group->SetState(group->State() + nsExpanded);
    return root;
}

TEST_F(NodeStreamTest, TextItemRecordIsByteExact) {
    NodePtr root(TNode::Create<TTestData>("root"));
    TNode* item = Add(root.get(), TNode::Create<TTestData>("abc"));
    item->SetParentNodeClass(&TTestData::StaticClass());
    item->SetBitmap(3);
    item->SetStateDirect(TNodeState());
    const Bytes record = Cat({Str("TNodeObject"), {0}, Str("_.Bitmap"), {2, 3}, Str("_.State"), {11}, Str("nsSaving"),
                              {0}, Str("_.Text"), {6}, Str("abc"), {0}, {0}});
    const Bytes bytes = Save(root.get(), false);
    EXPECT_TRUE(Contains(bytes, record));
    // The item's record is the last one: its end, then the end of the root's children.
    EXPECT_TRUE(std::equal(record.begin(), record.end(), bytes.end() - static_cast<std::ptrdiff_t>(record.size()) - 1));

    NodePtr plain(TNode::Create<TNode>());
    plain->SetBitmap(5);
    EXPECT_TRUE(Contains(Save(plain.get(), false), Cat({{8}, {'_', '.', 'B', 'i', 't', 'm', 'a', 'p'}, {2, 5}})));
}

TEST_F(NodeStreamTest, ResourceHeaderAndLength) {
    NodePtr root(TNode::Create<TTestText>("x"));
    const Bytes bytes = Save(root.get(), true);
    const Bytes header = Cat({{0xFF, 10, 0}, {'T', 'T', 'E', 'S', 'T', 'T', 'E', 'X', 'T', 0}, {0x30, 0x10}});
    ASSERT_GT(bytes.size(), header.size() + 4);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), bytes.begin()));
    uint32_t length;
    std::memcpy(&length, &bytes[header.size()], 4);
    EXPECT_EQ(length, bytes.size() - header.size() - 4);
    EXPECT_EQ(bytes[header.size() + 4], 'T');  // "TPF0" follows
    EXPECT_EQ(Save(root.get(), false), Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(header.size()) + 4, bytes.end()));
}

TEST_F(NodeStreamTest, QuickTextRootAloneReadsBackAsItsClass) {
    NodePtr root(TNode::Create<TTestText>("Dadirevovezi"));
    EXPECT_EQ(AsText(root.get()),
              "object TNodeObject\r\n"
              "  NodeList.Strings = (\r\n"
              "    'TTestText'\r\n"
              "    'TNode')\r\n"
              "  PNI = 1\r\n"
              "  _.Bitmap = -3\r\n"
              "  _.State = [nsReadOnly, nsLocked, nsSaving]\r\n"
              "  _.Text = 'Dadirevovezi'\r\n"
              "end\r\n");
    NodePtr back = Load(Save(root.get(), true));
    EXPECT_EQ(&back->ClassType(), &TTestText::StaticClass());
    EXPECT_EQ(back->ParentNodeClass(), &TNode::StaticClass());
    EXPECT_EQ(back->ChildNodeClass(), &TTestText::StaticClass());
    EXPECT_EQ(back->Text(), "Dadirevovezi");
}

TEST_F(NodeStreamTest, ClassListByCountAndIndexOmission) {
    NodePtr root = SampleTree();
    // Counts: TTestData 6 (class and child class of three items), TNode 5 (every parent class),
    // TTestText 3, TTestGroup 1.
    const std::string text = AsText(root.get());
    EXPECT_EQ(text.substr(0, text.find("  _.")),
              "object TNodeObject\r\n"
              "  NodeList.Strings = (\r\n"
              "    'TTestData'\r\n"
              "    'TNode'\r\n"
              "    'TTestText'\r\n"
              "    'TTestGroup')\r\n"
              "  NI = 2\r\n"
              "  PNI = 1\r\n"
              "  CNI = 2\r\n");
    EXPECT_NE(text.find("  object TNodeObject\r\n    NI = 3\r\n    PNI = 1\r\n    CNI = 2\r\n"), std::string::npos);
    // Items: no NI (index 0), PNI 1, no CNI (their own class).
    size_t items = 0;
    for (size_t at = text.find("    object TNodeObject\r\n"); at != std::string::npos;
         at = text.find("    object TNodeObject\r\n", at + 1)) {
        EXPECT_EQ(text.substr(at, 48), "    object TNodeObject\r\n      PNI = 1\r\n      _.B");
        ++items;
    }
    EXPECT_EQ(items, 3u);
}

TEST_F(NodeStreamTest, WriteRules) {
    struct TCase {
        const char* what;
        std::function<void(TNode&)> change;
        std::string present;
        std::string absent;
    };
    const std::vector<TCase> cases = {
        {"fresh node", [](TNode&) {}, "_.State = [nsReadOnly, nsLocked, nsSaving]", "_.Option"},
        {"option changed", [](TNode& n) { n.SetOption(n.Option() - noCanSort); }, "_.Option = [noCanDelete, noCanMove", ""},
        {"symbol 0 not stored", [](TNode& n) { n.SetBitmap(0); }, "", "_.Bitmap"},
        {"symbol 1 stored", [](TNode& n) { n.SetBitmap(1); }, "_.Bitmap = 1", ""},
        {"state without stored bits", [](TNode& n) { n.SetStateDirect(TNodeState{nsFocused, nsCopied}); }, "", "_.State"},
        {"root and expanded stored", [](TNode& n) { n.SetStateDirect(TNodeState{nsRoot, nsExpanded, nsFocused}); },
         "_.State = [nsExpanded, nsLocked, nsSaving, nsRoot]", "nsFocused"},
        {"text equal to class name", [](TNode& n) { n.SetText("TNode"); }, "", "_.Text"},
        {"text", [](TNode& n) { n.SetText("it's"); }, "_.Text = 'it''s'", ""},
        {"values", [](TNode& n) { n.SetValue("a", TNodeValue::Of(std::string("b"))); }, "_.Values.Strings = (\r\n    'a=b')", ""},
        {"separator never", [](TNode& n) { n.SetSeparator('/'); }, "", "Separator"},
    };
    for (const TCase& c : cases) {
        NodePtr node(TNode::Create<TNode>());
        c.change(*node);
        const std::string text = AsText(node.get());
        if (!c.present.empty()) {
            EXPECT_NE(text.find(c.present), std::string::npos) << c.what << "\n" << text;
        }
        if (!c.absent.empty()) {
            EXPECT_EQ(text.find(c.absent), std::string::npos) << c.what << "\n" << text;
        }
        EXPECT_EQ(text.find("ParentNodeClass"), std::string::npos);
        EXPECT_EQ(text.find("NodeClass ="), std::string::npos);
    }
}

TEST_F(NodeStreamTest, SaveModeLeavesOutNodePropertiesAndIsReset) {
    NodePtr node(TNode::Create<TNode>("abc"));
    node->SetBitmap(4);
    node->SetValue("k", TNodeValue::Of(int32_t(1)));
    SetNodeSaveMode(2);
    const std::string text = AsText(node.get());
    EXPECT_EQ(NodeSaveMode(), 0);
    EXPECT_EQ(text,
              "object TNodeObject\r\n"
              "  SaveMode = 2\r\n"
              "  NodeList.Strings = (\r\n"
              "    'TNode')\r\n"
              "end\r\n");
    // The setter takes a value only while the mode is 0.
    TNodeObject object;
    SetNodeSaveMode(1);
    object.SetSaveMode(5);
    EXPECT_EQ(NodeSaveMode(), 1);
    SetNodeSaveMode(0);
    object.SetSaveMode(5);
    EXPECT_EQ(NodeSaveMode(), 5);
    // Reading a stream that carries a save mode ends with mode 0 again.
    SetNodeSaveMode(3);
    const Bytes withMode = Save(node.get(), true);
    NodePtr back = Load(withMode);
    EXPECT_EQ(NodeSaveMode(), 0);
    EXPECT_EQ(back->Text(), "");
}

TEST_F(NodeStreamTest, SavingLeavesTheStateAsItWas) {
    NodePtr root = SampleTree();
    TNode* group = root->Child(0);
    group->SetState(group->State() + nsFocused + nsModified);
    const TNodeState rootBefore = root->State();
    const TNodeState groupBefore = group->State();
    Save(root.get(), true);
    EXPECT_EQ(root->State(), rootBefore);
    EXPECT_EQ(group->State(), groupBefore);
    root->SetState(root->State() + nsLocked);
    Save(root.get(), false);
    EXPECT_TRUE(root->State().Has(nsLocked));
    // The written states carry nsSaving and never the transient bits.
    const std::string text = AsText(root.get());
    EXPECT_EQ(text.find("nsFocused"), std::string::npos);
    EXPECT_EQ(text.find("nsModified"), std::string::npos);
}

TEST_F(NodeStreamTest, TreeOfSeveralClassesRoundTrips) {
    NodePtr root = SampleTree();
    NodePtr back = Load(Save(root.get(), true));
    ASSERT_EQ(&back->ClassType(), &TTestText::StaticClass());
    EXPECT_EQ(back->Text(), "Dadirevovezi");
    EXPECT_EQ(back->Count(), 4);
    TNode* group = back->Child(0);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(&group->ClassType(), &TTestGroup::StaticClass());
    EXPECT_EQ(group->ChildNodeClass(), &TTestText::StaticClass());
    EXPECT_TRUE(group->State().Has(nsExpanded));
    EXPECT_EQ(group->VisibleCount(), 3);
    EXPECT_EQ(Texts(group), "Anrede,Gruss,Schluss");  // sortable: re-inserted in text order
    auto* item = dynamic_cast<TTestData*>(group->Child(1));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Bitmap(), 7);
    EXPECT_EQ(item->data, (Bytes{'{', '\\', 'r', 't', 'f', '}'}));
    EXPECT_EQ(item->IndexOfName("Farbe"), 0);
    EXPECT_EQ(item->ParentNodeClass(), &TNode::StaticClass());
    EXPECT_EQ(item->ChildNodeClass(), &TTestData::StaticClass());
    // After loading: nsLoaded, noCanDelete, nothing transient.
    back->ForEach(
        [](TNode* n) {
            EXPECT_TRUE(n->State().Has(nsLoaded)) << n->Text();
            EXPECT_FALSE(n->State().HasAny({nsLoading, nsSaving, nsLocked, nsModified, nsSelected})) << n->Text();
            EXPECT_TRUE(n->Option().Has(noCanDelete));
            return false;
        },
        feSelf | feCollapsed);
    // Written again, the tree gives the same bytes except for nsLoaded, which is not stored.
    EXPECT_EQ(AsText(back.get()), AsText(root.get()));
}

TEST_F(NodeStreamTest, SortedReinsertionOnlyForSortableSiblings) {
    NodePtr root(TNode::Create<TNode>("r"));
    TNode* sorted = Add(root.get(), TNode::Create<TNode>("sorted"));
    TNode* kept = Add(root.get(), TNode::Create<TNode>("kept"));
    for (const char* text : {"c", "A", "b"}) {
        Add(sorted, TNode::Create<TNode>(text), imChild | imIntoSelf | imLast);
        TNode* fixed = TNode::Create<TNode>(text);
        fixed->SetOption(fixed->Option() - noCanSort);
        Add(kept, fixed);
    }
    ASSERT_EQ(Texts(sorted), "c,A,b");
    NodePtr back = Load(Save(root.get(), true));
    EXPECT_EQ(Texts(back.get()), "kept,sorted");
    EXPECT_EQ(Texts(back->Child(1)), "A,b,c");
    EXPECT_EQ(Texts(back->Child(0)), "c,A,b");
}

TEST_F(NodeStreamTest, TextEqualToClassNameReadsBackEmpty) {
    NodePtr root(TNode::Create<TTestText>("TTestText"));
    Add(root.get(), TNode::Create<TTestData>("TTestData"));
    NodePtr back = Load(Save(root.get(), true));
    EXPECT_EQ(back->Text(), "");
    EXPECT_EQ(back->Child(0)->Text(), "");
}

TEST_F(NodeStreamTest, ChildrenFilledOnDemandAreWritten) {
    NodePtr root(TNode::Create<TLazy>("lazy"));
    NodePtr back = Load(Save(root.get(), true));
    EXPECT_EQ(Texts(back.get()), "late 1,late 2");
}

TEST_F(NodeStreamTest, UnregisteredClassFails) {
    NodePtr root(TNode::Create<TNode>("r"));
    Add(root.get(), TNode::Create<TNode>("a"));
    Add(root.get(), TNode::Create<TUnlisted>("b"));
    const Bytes bytes = Save(root.get(), true);
    try {
        Load(bytes);
        FAIL() << "loaded a stream with an unregistered class";
    } catch (const ENodeNotRegistered& e) {
        EXPECT_EQ(e.Id(), sid::NodeNotRegistered);
        EXPECT_EQ(e.Message(), "Node-Objekt \"TUnlisted\" ist nicht registriert.");
    }
    EXPECT_EQ(FindNodeClass("tunlisted"), nullptr);
    EXPECT_EQ(FindNodeClass("ttestdata"), &TTestData::StaticClass());
}

TEST_F(NodeStreamTest, ClassReferencesAreAcceptedWhenRead) {
    auto stream = [](const std::string& name, const std::string& value) {
        return Cat({{'T', 'P', 'F', '0'}, Str("TNodeObject"), {0}, Str(name), {6}, Str(value), {0, 0}});
    };
    NodePtr unknown = LoadPlain(stream("_.ParentNodeClass", "TNowhere"));
    EXPECT_EQ(unknown->ParentNodeClass(), nullptr);
    NodePtr known = LoadPlain(stream("_.ChildNodeClass", "TTestData"));
    EXPECT_EQ(known->ChildNodeClass(), &TTestData::StaticClass());
    // NodeClass replaces the node; an unknown name is a silent abort.
    NodePtr byName = LoadPlain(stream("NodeClass", "TTestGroup"));
    EXPECT_EQ(&byName->ClassType(), &TTestGroup::StaticClass());
    EXPECT_THROW(LoadPlain(stream("NodeClass", "TNowhere")), EAbort);
}

TEST_F(NodeStreamTest, DamagedStreamsFailWithTheirMessages) {
    NodePtr root = SampleTree();
    const Bytes good = Save(root.get(), true);
    const size_t signatureAt = 1 + 2 + 10 + 2 + 4;
    Bytes badSignature = good;
    badSignature[signatureAt] = 'X';
    Bytes badType = good;
    badType[1] = 11;
    Bytes badIndex = good;  // the root's NI 2 becomes 9, beyond the class list
    const Bytes ni = Cat({Str("NI"), {2, 2}});
    auto at = std::search(badIndex.begin(), badIndex.end(), ni.begin(), ni.end());
    ASSERT_NE(at, badIndex.end());
    at[4] = 9;
    struct TCase {
        const char* what;
        Bytes bytes;
        int id;
    };
    const std::vector<TCase> cases = {
        {"first byte", Bytes(good.begin() + 1, good.end()), sid::InvalidStreamFormat},
        {"type word", badType, sid::InvalidStreamFormat},
        {"signature", badSignature, sid::InvalidStreamFormat},
        {"index beyond the class list", badIndex, sid::InvalidStreamFormat},
        {"header only", Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(signatureAt)), sid::InvalidStreamFormat},
        {"unknown property", Cat({Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(signatureAt)),
                                  {'T', 'P', 'F', '0'}, Str("TNodeObject"), {0}, Str("_.Colour"), {2, 1}, {0, 0}}),
         sid::UnknownProperty},
        {"path through integer", Cat({Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(signatureAt)),
                                      {'T', 'P', 'F', '0'}, Str("TNodeObject"), {0}, Str("NI.Text"), {2, 1}, {0, 0}}),
         sid::InvalidPropertyPath},
    };
    for (const TCase& c : cases) {
        try {
            Load(c.bytes);
            ADD_FAILURE() << c.what << ": loaded";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Id(), c.id) << c.what;
        }
    }
}

TEST_F(NodeStreamTest, EveryTruncationAndRandomCorruptionFailsCleanly) {
    NodePtr root = SampleTree();
    const Bytes good = Save(root.get(), true);
    for (size_t length = 0; length < good.size(); ++length) {
        const Bytes prefix(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_THROW(Load(prefix), Exception) << length;
    }
    std::mt19937 random(99);
    int loaded = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes = good;
        for (int e = 0, edits = 1 + static_cast<int>(random() % 3); e < edits; ++e) {
            const size_t at = random() % bytes.size();
            if (random() % 2)
                bytes[at] = static_cast<uint8_t>(random());
            else
                bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at));
            if (bytes.empty()) bytes.push_back(0xFF);
        }
        try {
            NodePtr node = Load(bytes);
            if (node) ++loaded;
        } catch (const Exception&) {
        }
        EXPECT_EQ(NodeSaveMode(), 0);
    }
    EXPECT_LT(loaded, 3000);
}

TEST_F(NodeStreamTest, DeepTreesUpToTheRecordLimitRoundTrip) {
    static_assert(MaxNodeLevels == MaxRecordDepth, "the writer and the reader agree on the depth");
    NodePtr top(TNode::Create<TNode>("0"));
    TNode* last = top.get();
    for (int i = 1; i < MaxNodeLevels; ++i) last = Add(last, TNode::Create<TNode>(std::to_string(i)));
    NodePtr back = Load(Save(top.get(), true));
    EXPECT_EQ(back->Count(), MaxNodeLevels - 1);
    EXPECT_EQ(SubtreeLevels(back.get()), MaxNodeLevels);
}

// A stream of Depth nested records without properties, as no writer of the program makes it.
Bytes NestedRecords(int depth) {
    Bytes bytes{'T', 'P', 'F', '0'};
    const Bytes record = Str("TNodeObject");
    for (int i = 0; i < depth; ++i) {
        bytes.insert(bytes.end(), record.begin(), record.end());
        bytes.push_back(0);  // no name
        bytes.push_back(0);  // no properties
    }
    bytes.insert(bytes.end(), size_t(depth), 0);  // the ends of the child lists
    return bytes;
}

TEST_F(NodeStreamTest, TheReaderRefusesRecordsDeeperThanATreeCanBe) {
    EXPECT_EQ(SubtreeLevels(LoadPlain(NestedRecords(MaxNodeLevels)).get()), MaxNodeLevels);
    try {
        LoadPlain(NestedRecords(MaxNodeLevels + 1));
        ADD_FAILURE() << "loaded";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Id(), sid::InvalidStreamFormat);
    }
}

TEST_F(NodeStreamTest, TheWriterRefusesATreeTooDeepToBeReadBack) {
    // Only a tree put together while it counts as being read can get that deep.
    NodePtr top(TNode::Create<TNode>("0"));
    TNode* last = top.get();
    for (int i = 1; i <= MaxNodeLevels; ++i) {
        TNode* child = TNode::Create<TNode>(std::to_string(i));
        child->SetStateDirect(child->State() + nsLoading);
        last = Add(last, child);
    }
    TMemoryStream stream;
    try {
        SaveToStream(top.get(), stream, true);
        ADD_FAILURE() << "saved";
    } catch (const ENodeError& e) {
        EXPECT_EQ(e.Id(), sid::NodeTooDeep);
        EXPECT_NE(e.Message().find(std::to_string(MaxNodeLevels)), std::string::npos);
    }
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_FALSE(top->State().Has(nsSaving));
}

TEST_F(NodeStreamTest, SaveToFileKeepsThePreviousFile) {
    const std::string file = TempFile("keep.std");
    const std::string backup = TempFile("keep.C$$");
    std::remove(file.c_str());
    std::remove(backup.c_str());
    NodePtr first(TNode::Create<TTestText>("first"));
    NodePtr second(TNode::Create<TTestText>("second"));
    SaveToFile(first.get(), file);
    const Bytes firstBytes = FileBytes(file);
    EXPECT_EQ(firstBytes, Save(first.get(), true));
    SaveToFile(second.get(), file);
    EXPECT_EQ(FileBytes(backup), firstBytes);
    SaveToFile(first.get(), file);  // over an existing ".C$$"
    EXPECT_EQ(FileBytes(backup), Save(second.get(), true));
    NodePtr back(LoadFromFile(file));
    EXPECT_EQ(back->Text(), "first");

    SaveToFile(first.get(), file, true);
    const Bytes text = FileBytes(file);
    EXPECT_EQ(std::string(text.begin(), text.end()), AsText(first.get()));
}

TEST_F(NodeStreamTest, FileErrors) {
    NodePtr node(TNode::Create<TNode>());
    const std::string nowhere = TempFile("no-such-dir/x.std");
    try {
        SaveToFile(node.get(), nowhere);
        ADD_FAILURE() << "created";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Id(), sid::FCreateError);
    }
    try {
        LoadFromFile(nowhere);
        ADD_FAILURE() << "opened";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Id(), sid::FOpenError);
    }
}

TEST_F(NodeStreamTest, CloneCopiesWhatIsStreamed) {
    NodePtr root = SampleTree();
    NodePtr copy(root->Child(0)->Clone());
    EXPECT_EQ(&copy->ClassType(), &TTestGroup::StaticClass());
    EXPECT_EQ(copy->Parent(), nullptr);
    EXPECT_EQ(Texts(copy.get()), "Anrede,Gruss,Schluss");
    EXPECT_EQ(static_cast<TTestData*>(copy->Child(1))->data,
              static_cast<TTestData*>(root->Child(0)->FindPath("Gruss", false))->data);
    EXPECT_FALSE(static_cast<TTestData*>(copy->Child(1))->data.empty());
    EXPECT_NE(copy->Child(0), root->Child(0)->Child(1));
}

TEST_F(NodeStreamTest, LoadFromResourceUsesTheReader) {
    NodePtr root(TNode::Create<TTestText>("from resource"));
    const Bytes plain = Save(root.get(), false);
    const Bytes withHeader = Save(root.get(), true);
    std::vector<std::string> asked;
    TResourceReader previous = SetResourceReader([&](const std::string& name, std::vector<uint8_t>& data) {
        asked.push_back(name);
        if (name == "TTestText") data = plain;
        else if (name == "FILE") data = withHeader;
        else return false;
        return true;
    });
    NodePtr byClass(LoadFromResource("", &TTestText::StaticClass()));
    EXPECT_EQ(byClass->Text(), "from resource");
    NodePtr fromFile(LoadFromResource("FILE"));
    EXPECT_EQ(fromFile->Text(), "from resource");
    try {
        LoadFromResource("");
        ADD_FAILURE() << "found TNode";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Ressource TNode nicht gefunden");
    }
    EXPECT_EQ(asked, (std::vector<std::string>{"TTestText", "FILE", "TNode"}));
    SetResourceReader(previous);
}

TEST_F(NodeStreamTest, ClipboardCopyAndPaste) {
    TMemoryClipboard clipboard;
    NodePtr root = SampleTree();
    TNode* group = root->Child(0);
    group->SetState(group->State() + nsSelected);
    group->CopyToClipboard(clipboard);
    EXPECT_EQ(clipboard.OpenCount(), 0);
    const unsigned format = clipboard.RegisterFormat("Node Object");
    EXPECT_EQ(clipboard.GetData(format), Save(group, false));
    const Bytes text = clipboard.GetData(cfText);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), 0);
    EXPECT_EQ(std::string(text.begin(), text.end() - 1), AsText(group));

    NodePtr target(TNode::Create<TNode>("target"));
    Add(target.get(), TNode::Create<TNode>("existing"));
    target->PasteFromClipboard(clipboard);
    ASSERT_EQ(target->ChildCount(), 2);
    TNode* pasted = target->Child(0);  // the first child
    EXPECT_EQ(pasted->Text(), "Briefe");
    EXPECT_EQ(target->Count(), 5);
    pasted->ForEach(
        [](TNode* n) {
            EXPECT_TRUE(n->State().Has(nsCopied));
            EXPECT_FALSE(n->State().HasAny({nsSelected, nsFocused, nsEditing}));
            return false;
        },
        feSelf | feCollapsed);

    // A damaged block fails and inserts nothing; an empty clipboard pastes nothing.
    Bytes block = clipboard.GetData(format);
    block.resize(block.size() / 2);
    clipboard.Open();
    clipboard.SetData(format, block);
    clipboard.Close();
    EXPECT_THROW(target->PasteFromClipboard(clipboard), EReadError);
    EXPECT_EQ(target->ChildCount(), 2);
    TMemoryClipboard empty;
    target->PasteFromClipboard(empty);
    EXPECT_EQ(target->ChildCount(), 2);
}

}  // namespace

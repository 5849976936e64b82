// The component writer, reader and textual form on test components that use every value kind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "base/component_reader.h"
#include "base/component_writer.h"
#include "base/exception.h"
#include "base/string_ids.h"
#include "base/text_form.h"

namespace {

using Bytes = std::vector<uint8_t>;

// An object property's object.
class TGadget : public TPersistent {
public:
    static const TClassInfo& StaticClass() {
        static const TClassInfo info{
            "TGadget", &TPersistent::StaticClass(),
            {TypedProp<TGadget, int32_t>(
                 "Size", TPropKind::pkInteger, [](const TGadget& g) { return g.size; },
                 [](TGadget& g, const int32_t& v) { g.size = v; }, [](const TGadget& g) { return g.size != 0; })},
            {}};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
    int32_t size = 0;
};

std::vector<std::string>& Events() {
    static std::vector<std::string> events;
    return events;
}

// A component with one property of every kind; children are the parts in Kids.
class TPart : public TComponent {
public:
    explicit TPart(TComponent* owner = nullptr) : TComponent(owner) {}
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    void GetChildren(const std::function<void(TComponent*)>& proc) override {
        for (TPart* kid : kids) proc(kid);
    }
    void ReadStart(TComponent* parent) override { Events().push_back("start " + Name()); }
    void ReadEnd(TComponent* parent) override {
        Events().push_back("end " + Name());
        if (auto* p = dynamic_cast<TPart*>(parent)) p->kids.push_back(this);
    }
    void Loaded() override {
        TComponent::Loaded();
        Events().push_back("loaded " + Name());
    }

    int32_t count = 0;
    bool flag = false;
    double ratio = 0;
    std::string caption;
    std::string kind = "ckPlain";
    uint32_t options = 0;
    std::vector<std::string> lines;
    Bytes blob;
    int32_t letter = 'a';
    int32_t fixed = 7;
    TGadget gadget;
    std::vector<TPart*> kids;
};

const TClassInfo& TPart::StaticClass() {
    using K = TPropKind;
    using P = TPart;
    static const TClassInfo info{
        "TPart", &TComponent::StaticClass(),
        {
            TypedProp<P, int32_t>("Count", K::pkInteger, [](const P& p) { return p.count; },
                                  [](P& p, const int32_t& v) { p.count = v; }, [](const P& p) { return p.count != 0; }),
            TypedProp<P, bool>("Flag", K::pkBoolean, [](const P& p) { return p.flag; },
                               [](P& p, const bool& v) { p.flag = v; }, [](const P& p) { return p.flag; }),
            TypedProp<P, double>("Ratio", K::pkFloat, [](const P& p) { return p.ratio; },
                                 [](P& p, const double& v) { p.ratio = v; }, [](const P& p) { return p.ratio != 0; }),
            TypedProp<P, std::string>("Caption", K::pkString, [](const P& p) { return p.caption; },
                                      [](P& p, const std::string& v) { p.caption = v; },
                                      [](const P& p) { return !p.caption.empty(); }),
            TypedProp<P, std::string>("Kind", K::pkIdent, [](const P& p) { return p.kind; },
                                      [](P& p, const std::string& v) { p.kind = v; },
                                      [](const P& p) { return p.kind != "ckPlain"; }),
            TypedProp<P, TSetValue>("Options", K::pkSet, [](const P& p) { return TSetValue{p.options}; },
                                    [](P& p, const TSetValue& v) { p.options = v.bits; },
                                    [](const P& p) { return p.options != 0; }, {"opA", "opB", "opC"}),
            TypedProp<P, std::vector<std::string>>(
                "Lines", K::pkStringList, [](const P& p) { return p.lines; },
                [](P& p, const std::vector<std::string>& v) { p.lines = v; }, [](const P& p) { return !p.lines.empty(); }),
            TypedProp<P, Bytes>("Blob", K::pkBinary, [](const P& p) { return p.blob; },
                                [](P& p, const Bytes& v) { p.blob = v; }, [](const P& p) { return !p.blob.empty(); }),
            TypedProp<P, int32_t>("Letter", K::pkChar, [](const P& p) { return p.letter; },
                                  [](P& p, const int32_t& v) { p.letter = v; }, [](const P& p) { return p.letter != 'a'; }),
            TypedProp<P, int32_t>("Fixed", K::pkInteger, [](const P& p) { return p.fixed; }),
            TypedProp<P, TPersistent*>("Gadget", K::pkObject,
                                       [](const P& p) { return static_cast<TPersistent*>(const_cast<TGadget*>(&p.gadget)); }),
        },
        [] { return static_cast<TPersistent*>(new TPart()); }};
    return info;
}

// A subclass that stores Count always, by redeclaring its row.
class TLoudPart : public TPart {
public:
    static const TClassInfo& StaticClass() {
        static const TClassInfo info{
            "TLoudPart", &TPart::StaticClass(),
            {TypedProp<TPart, int32_t>("Count", TPropKind::pkInteger, [](const TPart& p) { return p.count; },
                                       [](TPart& p, const int32_t& v) { p.count = v; })},
            {}};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

// A subclass whose Count row keeps the value plus 1000: a record of this class that took the
// row of TPart would show it.
class TOffsetPart : public TPart {
public:
    static const TClassInfo& StaticClass() {
        static const TClassInfo info{
            "TOffsetPart", &TPart::StaticClass(),
            {TypedProp<TPart, int32_t>("Count", TPropKind::pkInteger, [](const TPart& p) { return p.count; },
                                       [](TPart& p, const int32_t& v) { p.count = v + 1000; })},
            [] { return static_cast<TPersistent*>(new TOffsetPart()); }};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

class ComponentStreamTest : public testing::Test {
protected:
    void SetUp() override {
        RegisterComponentClass(TPart::StaticClass());
        Events().clear();
    }
};

Bytes Write(TComponent* root) {
    TMemoryStream stream;
    TComponentWriter writer(stream);
    writer.WriteRootComponent(root);
    return stream.Bytes();
}

TMemoryStream StreamOf(const Bytes& bytes) {
    TMemoryStream stream;
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    return stream;
}

void ReadInto(TComponent* root, const Bytes& bytes) {
    TMemoryStream stream = StreamOf(bytes);
    TComponentReader reader(stream);
    reader.ReadRootComponent(root);
}

// The message id a read of Bytes fails with; 0 when it succeeds.
int ReadFailure(const Bytes& bytes) {
    TPart root;
    try {
        ReadInto(&root, bytes);
    } catch (const Exception& e) {
        return e.Id();
    }
    return 0;
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

const Bytes Signature{'T', 'P', 'F', '0'};

// A record of class TPart named Name with the given property bytes and no children.
Bytes Record(const Bytes& properties, const Bytes& children = {}) {
    return Cat({Str("TPart"), Str(""), properties, {0}, children, {0}});
}

// A root with every kind set and two children, one of which has a child.
void FillSample(TPart& root) {
    root.count = 70000;
    root.flag = true;
    root.ratio = -2.5;
    root.caption = "it's\r\nhere";
    root.kind = "ckFancy";
    root.options = 5;
    root.lines = {"one", "", std::string(300, 'x')};
    root.blob = {0x00, 0x7F, 0xFF};
    root.letter = '#';
    root.gadget.size = -3;
    auto* first = new TPart(&root);
    first->SetName("First");
    first->caption = "child";
    auto* second = new TPart(&root);
    second->count = 1;
    auto* grandchild = new TPart(second);
    grandchild->caption = "deep";
    root.kids = {first, second};
    second->kids = {grandchild};
}

TEST_F(ComponentStreamTest, RecordLayoutIsByteExact) {
    TPart part;
    part.count = 3;
    part.caption = "abc";
    const Bytes expected = Cat({Signature, Record(Cat({Str("Count"), {2, 3}, Str("Caption"), {6}, Str("abc")}))});
    EXPECT_EQ(Write(&part), expected);
}

TEST_F(ComponentStreamTest, IntegersTakeTheSmallestWidth) {
    struct TCase {
        int32_t value;
        Bytes bytes;
    };
    const TCase cases[] = {
        {1, {2, 0x01}},
        {127, {2, 0x7F}},
        {-128, {2, 0x80}},
        {128, {3, 0x80, 0x00}},
        {-129, {3, 0x7F, 0xFF}},
        {32767, {3, 0xFF, 0x7F}},
        {-32768, {3, 0x00, 0x80}},
        {32768, {4, 0x00, 0x80, 0x00, 0x00}},
        {INT32_MIN, {4, 0x00, 0x00, 0x00, 0x80}},
        {INT32_MAX, {4, 0xFF, 0xFF, 0xFF, 0x7F}},
    };
    for (const TCase& c : cases) {
        TPart part;
        part.count = c.value;
        const Bytes bytes = Write(&part);
        EXPECT_EQ(bytes, Cat({Signature, Record(Cat({Str("Count"), c.bytes}))})) << c.value;
        TPart back;
        ReadInto(&back, bytes);
        EXPECT_EQ(back.count, c.value);
    }
}

TEST_F(ComponentStreamTest, StringsUpTo255BytesAreShortLongerOnesLong) {
    for (size_t length : {0u, 1u, 255u, 256u, 70000u}) {
        TMemoryStream stream;
        TComponentWriter writer(stream);
        writer.WriteString(std::string(length, 'q'));
        const Bytes& bytes = stream.Bytes();
        if (length <= 255) {
            ASSERT_EQ(bytes.size(), 2 + length);
            EXPECT_EQ(bytes[0], vaString);
            EXPECT_EQ(bytes[1], length);
        } else {
            ASSERT_EQ(bytes.size(), 5 + length);
            EXPECT_EQ(bytes[0], vaLString);
            uint32_t stored;
            std::memcpy(&stored, &bytes[1], 4);
            EXPECT_EQ(stored, length);
        }
    }
}

TEST_F(ComponentStreamTest, EveryKindRoundTripsWithChildrenAndHooksInOrder) {
    TPart root;
    FillSample(root);
    const Bytes bytes = Write(&root);

    TPart back;
    ReadInto(&back, bytes);
    EXPECT_EQ(back.count, 70000);
    EXPECT_TRUE(back.flag);
    EXPECT_EQ(back.ratio, -2.5);
    EXPECT_EQ(back.caption, "it's\r\nhere");
    EXPECT_EQ(back.kind, "ckFancy");
    EXPECT_EQ(back.options, 5u);
    EXPECT_EQ(back.lines, root.lines);
    EXPECT_EQ(back.blob, root.blob);
    EXPECT_EQ(back.letter, '#');
    EXPECT_EQ(back.gadget.size, -3);
    ASSERT_EQ(back.kids.size(), 2u);
    EXPECT_EQ(back.kids[0]->Name(), "First");
    EXPECT_EQ(back.kids[0]->caption, "child");
    ASSERT_EQ(back.kids[1]->kids.size(), 1u);
    EXPECT_EQ(back.kids[1]->kids[0]->caption, "deep");
    // Nested records are owned by the root; the stream is written again unchanged.
    EXPECT_EQ(back.ComponentCount(), 3);
    EXPECT_EQ(Write(&back), bytes);
    EXPECT_EQ(Events(), (std::vector<std::string>{"start ", "start First", "end First", "start ", "start ",
                                                  "end ", "end ", "end ", "loaded ", "loaded First", "loaded ",
                                                  "loaded "}));
    EXPECT_FALSE(back.IsLoading());
}

TEST_F(ComponentStreamTest, ObjectPropertiesAreWrittenWithTheirPrefix) {
    TPart part;
    part.gadget.size = 5;
    EXPECT_EQ(Write(&part), Cat({Signature, Record(Cat({Str("Gadget.Size"), {2, 5}}))}));
}

TEST_F(ComponentStreamTest, RedeclaredRowReplacesTheBaseRowInPlace) {
    const auto props = StreamedProps(TLoudPart::StaticClass());
    ASSERT_EQ(props.size(), StreamedProps(TPart::StaticClass()).size());
    EXPECT_EQ(props[0], &TLoudPart::StaticClass().Props[0]);
    TLoudPart part;  // Count 0 is stored now
    EXPECT_EQ(Write(&part), Cat({Signature, Str("TLoudPart"), Str(""), Str("Count"), {2, 0}, {0}, {0}}));
}

TEST_F(ComponentStreamTest, ExtendedFloatBytesAreExact) {
    struct TCase {
        double value;
        Bytes bytes;
    };
    const TCase cases[] = {
        {0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00}},
        {-0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x80}},
        {1.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
        {-2.5, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0}},
        {0.1, {0x00, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}},
        {std::numeric_limits<double>::infinity(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}},
        {std::numeric_limits<double>::denorm_min(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xCD, 0x3B}},
        {std::numeric_limits<double>::max(), {0x00, 0xF8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x43}},
    };
    for (const TCase& c : cases) {
        const TExtended ext = DoubleToExtended(c.value);
        EXPECT_EQ(Bytes(ext.begin(), ext.end()), c.bytes) << c.value;
        const double back = ExtendedToDouble(ext);
        EXPECT_EQ(std::memcmp(&back, &c.value, sizeof back), 0) << c.value;
    }
    EXPECT_TRUE(std::isnan(ExtendedToDouble(DoubleToExtended(std::nan("")))));
}

TEST_F(ComponentStreamTest, EveryDoubleSurvivesTheExtendedForm) {
    std::mt19937_64 random(42);
    for (int i = 0; i < 20000; ++i) {
        uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isnan(value)) continue;
        const double back = ExtendedToDouble(DoubleToExtended(value));
        ASSERT_EQ(std::memcmp(&back, &value, sizeof back), 0) << std::hex << bits;
    }
}

TEST_F(ComponentStreamTest, ExtendedValuesRoundToNearestEven) {
    auto ext = [](uint64_t mantissa, uint16_t signExponent) {
        TExtended e;
        for (int i = 0; i < 8; ++i) e[i] = static_cast<uint8_t>(mantissa >> (8 * i));
        e[8] = static_cast<uint8_t>(signExponent);
        e[9] = static_cast<uint8_t>(signExponent >> 8);
        return e;
    };
    const double ulp = std::ldexp(1.0, -52);
    // 1 + half an ulp: tie, stays at the even 1.0; a bit more rounds up.
    EXPECT_EQ(ExtendedToDouble(ext(0x8000000000000400ull, 0x3FFF)), 1.0);
    EXPECT_EQ(ExtendedToDouble(ext(0x8000000000000401ull, 0x3FFF)), 1.0 + ulp);
    // 1 + 1.5 ulp: tie, goes to the even 1 + 2 ulp.
    EXPECT_EQ(ExtendedToDouble(ext(0x8000000000000C00ull, 0x3FFF)), 1.0 + 2 * ulp);
    // Carry out of the mantissa: just below 2 rounds to 2.
    EXPECT_EQ(ExtendedToDouble(ext(0xFFFFFFFFFFFFFFFFull, 0x3FFF)), 2.0);
    // Beyond the double range: infinity; far below: zero with its sign; into denormals exactly.
    EXPECT_EQ(ExtendedToDouble(ext(0x8000000000000000ull, 0x7FFE)), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ExtendedToDouble(ext(0x8000000000000000ull, 0x8001)), -0.0);
    EXPECT_TRUE(std::signbit(ExtendedToDouble(ext(0x8000000000000000ull, 0x8001))));
    EXPECT_EQ(ExtendedToDouble(ext(0x8000000000000000ull, 16383 - 1074)), std::numeric_limits<double>::denorm_min());
    // Half the smallest denormal is a tie and goes to zero; a little more goes up.
    EXPECT_EQ(ExtendedToDouble(ext(0x8000000000000000ull, 16383 - 1075)), 0.0);
    EXPECT_EQ(ExtendedToDouble(ext(0x8000000000000001ull, 16383 - 1075)), std::numeric_limits<double>::denorm_min());
}

TEST_F(ComponentStreamTest, BadPropertiesFailWithTheirMessages) {
    struct TCase {
        const char* what;
        Bytes properties;
        int id;
    };
    const TCase cases[] = {
        {"unknown", Cat({Str("Colour"), {2, 1}}), sid::UnknownProperty},
        {"path through integer", Cat({Str("Count.Size"), {2, 1}}), sid::InvalidPropertyPath},
        {"unknown in object", Cat({Str("Gadget.Weight"), {2, 1}}), sid::UnknownProperty},
        {"list without Strings", Cat({Str("Lines.Items"), {1, 0}}), sid::UnknownProperty},
        {"list as a plain value", Cat({Str("Lines"), {6, 0}}), sid::InvalidPropertyValue},
        {"object as a value", Cat({Str("Gadget"), {2, 1}}), sid::InvalidPropertyValue},
        {"read-only", Cat({Str("Fixed"), {2, 1}}), sid::PropertyReadOnly},
        {"string for integer", Cat({Str("Count"), {6}, Str("x")}), sid::InvalidPropertyValue},
        {"integer for string", Cat({Str("Caption"), {2, 1}}), sid::InvalidPropertyValue},
        {"list for integer", Cat({Str("Count"), {1, 2, 1, 0}}), sid::InvalidPropertyValue},
        {"integer in string list", Cat({Str("Lines.Strings"), {1, 2, 1, 0}}), sid::InvalidPropertyValue},
        {"nested list in string list", Cat({Str("Lines.Strings"), {1, 1, 0, 0}}), sid::InvalidPropertyValue},
        {"binary for string", Cat({Str("Caption"), {10, 1, 0, 0, 0, 'x'}}), sid::InvalidPropertyValue},
        {"binary in string list", Cat({Str("Lines.Strings"), {1, 10, 1, 0, 0, 0, 'x', 0}}), sid::InvalidPropertyValue},
        {"string for binary", Cat({Str("Blob"), {6}, Str("x")}), sid::InvalidPropertyValue},
        {"binary longer than the stream", Cat({Str("Blob"), {10, 200, 0, 0, 0, 'x'}}), sid::InvalidStreamFormat},
        {"unknown set element", Cat({Str("Options"), {11}, Str("opZ"), {0}}), sid::InvalidPropertyValue},
        {"two-letter char", Cat({Str("Letter"), {6}, Str("ab")}), sid::InvalidPropertyValue},
        {"end of list as value", Cat({Str("Count"), {0}}), sid::InvalidStreamFormat},
        {"unknown type byte 13", Cat({Str("Count"), {13}}), sid::InvalidStreamFormat},
        {"type byte 255", Cat({Str("Count"), {255}}), sid::InvalidStreamFormat},
    };
    for (const TCase& c : cases) EXPECT_EQ(ReadFailure(Cat({Signature, Record(c.properties)})), c.id) << c.what;
}

TEST_F(ComponentStreamTest, EachRecordResolvesItsPathsByItsOwnClass) {
    RegisterComponentClass(TOffsetPart::StaticClass());
    // The same property names in records of two classes, interleaved: TPart, TOffsetPart,
    // TPart, TOffsetPart, each with Count and Gadget.Size.
    auto child = [](const char* cls, uint8_t count, uint8_t size) {
        return Cat({Str(cls), Str(""), Str("Count"), {2, count}, Str("Gadget.Size"), {2, size}, {0}, {0}});
    };
    const Bytes children = Cat({child("TPart", 1, 11), child("TOffsetPart", 2, 12), child("TPart", 3, 13),
                                child("TOffsetPart", 4, 14)});
    TPart root;
    ReadInto(&root, Cat({Signature, Record(Cat({Str("Count"), {2, 9}}), children)}));
    EXPECT_EQ(root.count, 9);
    ASSERT_EQ(root.kids.size(), 4u);
    const int32_t counts[] = {1, 1002, 3, 1004};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(root.kids[i]->count, counts[i]) << i;
        EXPECT_EQ(root.kids[i]->gadget.size, int32_t(11 + i)) << i;
    }
}

// Property names are matched without regard to letter case; a stream that spells one path
// in more ways than the reader keeps still sets every value.
TEST_F(ComponentStreamTest, EverySpellingOfAPathIsResolved) {
    const std::string path = "gadget.size";
    Bytes children;
    const int records = 300;
    for (int i = 0; i < records; ++i) {
        std::string spelled = path;
        for (size_t c = 0; c < spelled.size(); ++c)
            if ((i >> c) & 1) spelled[c] = static_cast<char>(std::toupper(static_cast<unsigned char>(spelled[c])));
        children = Cat({children, Str("TPart"), Str(""), Str(spelled), {vaInt16, static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8)},
                        Str(i % 2 ? "COUNT" : "Count"), {vaInt8, 1}, {0}, {0}});
    }
    TPart root;
    ReadInto(&root, Cat({Signature, Record({}, children)}));
    ASSERT_EQ(root.kids.size(), size_t(records));
    for (int i = 0; i < records; ++i) {
        EXPECT_EQ(root.kids[static_cast<size_t>(i)]->gadget.size, i) << i;
        EXPECT_EQ(root.kids[static_cast<size_t>(i)]->count, 1) << i;
    }
}

TEST_F(ComponentStreamTest, AcceptedValueVariants) {
    // Floats from integers, chars from integer codes, strings from identifiers and long strings.
    TPart part;
    ReadInto(&part, Cat({Signature, Record(Cat({Str("Ratio"), {3, 0x10, 0x27}, Str("Letter"), {2, 0x41},
                                                Str("Caption"), {7}, Str("ident"), Str("Kind"),
                                                {12, 2, 0, 0, 0, 'k', 'x'}, Str("options"), {11}, Str("OPC"),
                                                {0}}))}));
    EXPECT_EQ(part.ratio, 10000.0);
    EXPECT_EQ(part.letter, 'A');
    EXPECT_EQ(part.caption, "ident");
    EXPECT_EQ(part.kind, "kx");
    EXPECT_EQ(part.options, 4u);
}

TEST_F(ComponentStreamTest, DamagedStreamsFailAsInvalidFormat) {
    struct TCase {
        const char* what;
        Bytes bytes;
        int id;
    };
    const TCase cases[] = {
        {"empty", {}, sid::InvalidStreamFormat},
        {"wrong signature", Cat({{'T', 'P', 'F', '1'}, Record({})}), sid::InvalidStreamFormat},
        {"binary longer than the stream", Cat({Signature, Str("TPart"), Str(""), Str("Blob"), {10, 0xFF, 0xFF, 0xFF, 0x7F}}),
         sid::InvalidStreamFormat},
        {"long string longer than the stream",
         Cat({Signature, Str("TPart"), Str(""), Str("Caption"), {12, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}}), sid::InvalidStreamFormat},
        {"short string past the end", Cat({Signature, Str("TPart"), Str(""), {200, 'a', 'b'}}), sid::InvalidStreamFormat},
        {"child of an unknown class", Cat({Signature, Record({}, Cat({Str("TNowhere"), Str(""), {0, 0}}))}),
         sid::ClassNotFound},
        {"missing end of children", Cat({Signature, Str("TPart"), Str(""), {0}}), sid::InvalidStreamFormat},
    };
    for (const TCase& c : cases) EXPECT_EQ(ReadFailure(c.bytes), c.id) << c.what;
}

TEST_F(ComponentStreamTest, EveryTruncationFailsCleanly) {
    TPart root;
    FillSample(root);
    const Bytes bytes = Write(&root);
    for (size_t length = 0; length < bytes.size(); ++length) {
        const Bytes prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(ReadFailure(prefix), sid::InvalidStreamFormat) << length;
        TMemoryStream stream = StreamOf(prefix);
        EXPECT_THROW(ComponentStreamToText(stream), EReadError) << length;
    }
}

TEST_F(ComponentStreamTest, RandomCorruptionNeverCrashes) {
    TPart root;
    FillSample(root);
    const Bytes original = Write(&root);
    std::mt19937 random(1234);
    int failures = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes = original;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % bytes.size();
            switch (random() % 3) {
                case 0: bytes[at] = static_cast<uint8_t>(random()); break;
                case 1: bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at)); break;
                default: bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), static_cast<uint8_t>(random()));
            }
            if (bytes.empty()) bytes.push_back(0);
        }
        if (ReadFailure(bytes) != 0) ++failures;
        TMemoryStream stream = StreamOf(bytes);
        try {
            ComponentStreamToText(stream);
        } catch (const Exception&) {
        }
    }
    EXPECT_GT(failures, 1000);  // the mutations do hit the checks
}

TEST_F(ComponentStreamTest, NestingIsLimited) {
    auto nested = [](int depth) {
        Bytes bytes = Signature;
        const Bytes level = Cat({Str("TPart"), Str(""), {0}});
        for (int i = 0; i < depth; ++i) bytes.insert(bytes.end(), level.begin(), level.end());
        bytes.insert(bytes.end(), static_cast<size_t>(depth), 0);
        return bytes;
    };
    EXPECT_EQ(ReadFailure(nested(MaxRecordDepth)), 0);
    EXPECT_EQ(ReadFailure(nested(MaxRecordDepth + 1)), sid::InvalidStreamFormat);
    TMemoryStream deep = StreamOf(nested(100000));
    EXPECT_THROW(ComponentStreamToText(deep), EReadError);

    auto lists = [](int depth) {
        Bytes value(static_cast<size_t>(depth), vaList);
        value.insert(value.end(), static_cast<size_t>(depth), vaNull);
        return Cat({Signature, Str("TPart"), Str(""), Str("X"), value, {0, 0}});
    };
    TMemoryStream fine = StreamOf(lists(MaxListDepth));
    EXPECT_NO_THROW(ComponentStreamToText(fine));
    TMemoryStream tooDeep = StreamOf(lists(MaxListDepth + 1));
    EXPECT_THROW(ComponentStreamToText(tooDeep), EReadError);
}

// A part whose Head row keeps only the first bytes of its binary value, read from the block
// itself; Want says how many it asks for.
class THeadPart : public TPart {
public:
    static const TClassInfo& StaticClass() {
        static const TClassInfo info{"THeadPart", &TPart::StaticClass(), {HeadProp()},
                                     [] { return static_cast<TPersistent*>(new THeadPart()); }};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }

    static size_t& Want() {
        static size_t want = 2;
        return want;
    }
    Bytes head;
    uint64_t leftAfterRead = 0;

private:
    static TPropInfo HeadProp() {
        TPropInfo prop = TypedProp<THeadPart, Bytes>(
            "Head", TPropKind::pkBinary, [](const THeadPart& p) { return p.head; },
            [](THeadPart& p, const Bytes& v) { p.head = v; });
        prop.ReadBinary = [](TPersistent& object, TBinaryBlock& block) {
            auto& part = static_cast<THeadPart&>(object);
            part.head = block.ReadBytes(Want());
            part.leftAfterRead = block.Size();
        };
        return prop;
    }
};

Bytes BinaryValue(const Bytes& content) {
    const auto n = static_cast<uint32_t>(content.size());
    return Cat({{vaBinary, static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
                 static_cast<uint8_t>(n >> 24)},
                content});
}

Bytes PatternBytes(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
    return bytes;
}

// Values far larger than the reader's buffer come back whole; a row that reads its value
// itself takes what it asks for, and the reader goes on after the rest of the value.
TEST_F(ComponentStreamTest, BinaryValuesAreReadWholeOrInPart) {
    for (size_t size : {size_t(0), size_t(1), size_t(65535), size_t(65536), size_t(300001)}) {
        TPart part;
        part.blob = PatternBytes(size);
        part.count = 5;
        TPart back;
        ReadInto(&back, Write(&part));
        EXPECT_EQ(back.blob, part.blob) << size;
        EXPECT_EQ(back.count, 5) << size;
    }

    struct TCase {
        size_t size, want;
    };
    for (const TCase& c : {TCase{10, 2}, TCase{10, 0}, TCase{10, 10}, TCase{200000, 3}, TCase{200000, 150000}}) {
        THeadPart::Want() = c.want;
        const Bytes content = PatternBytes(c.size);
        const Bytes bytes = Cat({Signature, Str("THeadPart"), Str(""), Str("Head"), BinaryValue(content),
                                 Str("Count"), {vaInt8, 42}, {0, 0}});
        TMemoryStream stream = StreamOf(bytes);
        THeadPart part;
        TComponentReader(stream).ReadRootComponent(&part);
        EXPECT_EQ(part.head, Bytes(content.begin(), content.begin() + static_cast<std::ptrdiff_t>(c.want)))
            << c.size << " " << c.want;
        EXPECT_EQ(part.leftAfterRead, c.size - c.want);
        EXPECT_EQ(part.count, 42) << c.size << " " << c.want;
        EXPECT_EQ(stream.Position(), static_cast<int64_t>(bytes.size()));
    }
    THeadPart::Want() = 2;
}

// Asking a binary value for more than it holds fails, even when the stream goes on.
TEST_F(ComponentStreamTest, ABinaryValueGivesNoMoreThanItHolds) {
    THeadPart::Want() = 11;
    const Bytes bytes = Cat({Signature, Str("THeadPart"), Str(""), Str("Head"), BinaryValue(PatternBytes(10)),
                             Str("Count"), {vaInt8, 42}, {0, 0}});
    TMemoryStream stream = StreamOf(bytes);
    THeadPart part;
    try {
        TComponentReader(stream).ReadRootComponent(&part);
        ADD_FAILURE() << "read past the value";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Id(), sid::InvalidStreamFormat);
    }
    THeadPart::Want() = 2;
}

TEST_F(ComponentStreamTest, ReaderStopsAfterTheRecord) {
    TPart part;
    part.count = 9;
    Bytes bytes = Write(&part);
    const size_t end = bytes.size();
    bytes.insert(bytes.end(), {0xAB, 0xCD});
    TMemoryStream stream = StreamOf(bytes);
    TPart back;
    TComponentReader reader(stream);
    reader.ReadRootComponent(&back);
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(end));
}

TEST_F(ComponentStreamTest, ReadComponentCreatesTheRecordsClass) {
    TPart root;
    FillSample(root);
    TMemoryStream stream = StreamOf(Write(&root));
    TComponentReader reader(stream);
    std::unique_ptr<TComponent> read(reader.ReadComponent());
    auto* part = dynamic_cast<TPart*>(read.get());
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->count, 70000);
    EXPECT_EQ(part->ComponentCount(), 3);

    TMemoryStream unknown = StreamOf(Cat({Signature, Str("TNowhere"), Str(""), {0, 0}}));
    TComponentReader failing(unknown);
    EXPECT_THROW(failing.ReadComponent(), EClassNotFound);
}

TEST_F(ComponentStreamTest, TextualForm) {
    TPart root;
    FillSample(root);
    root.lines = {"one", ""};
    root.blob.assign(40, 0xAB);
    TMemoryStream stream = StreamOf(Write(&root));
    const std::string blobLine1 = "    " + [] {
        std::string s;
        for (int i = 0; i < 32; ++i) s += "AB";
        return s;
    }();
    const std::string expected =
        "object TPart\r\n"
        "  Count = 70000\r\n"
        "  Flag = True\r\n"
        "  Ratio = -2.5\r\n"
        "  Caption = 'it''s'#13#10'here'\r\n"
        "  Kind = ckFancy\r\n"
        "  Options = [opA, opC]\r\n"
        "  Lines.Strings = (\r\n"
        "    'one'\r\n"
        "    '')\r\n"
        "  Blob = {\r\n" +
        blobLine1 + "\r\n    ABABABABABABABAB}\r\n"
        "  Letter = '#'\r\n"
        "  Gadget.Size = -3\r\n"
        "  object First: TPart\r\n"
        "    Caption = 'child'\r\n"
        "  end\r\n"
        "  object TPart\r\n"
        "    Count = 1\r\n"
        "    object TPart\r\n"
        "      Caption = 'deep'\r\n"
        "    end\r\n"
        "  end\r\n"
        "end\r\n";
    EXPECT_EQ(ComponentStreamToText(stream), expected);
}

TEST_F(ComponentStreamTest, QuotedAndFloatTexts) {
    struct TCase {
        std::string text;
        std::string quoted;
    };
    const TCase cases[] = {
        {"", "''"}, {"a'b", "'a''b'"}, {"\t", "#9"}, {"x\ny", "'x'#10'y'"}, {"\xE4", "'\xE4'"}, {"''", "''''''"},
    };
    for (const TCase& c : cases) EXPECT_EQ(QuotedText(c.text), c.quoted) << c.text;
    EXPECT_EQ(FloatText(0.1), "0.1");
    EXPECT_EQ(FloatText(-2.5), "-2.5");
    EXPECT_EQ(FloatText(1e300), "1e+300");
    EXPECT_EQ(FloatText(std::numeric_limits<double>::infinity()), "INF");
}

}  // namespace

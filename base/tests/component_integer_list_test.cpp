// Integer list properties in component streams: the bytes written, the values read back, the
// textual form, and the values that do not belong in such a list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/component_reader.h"
#include "base/component_writer.h"
#include "base/exception.h"
#include "base/string_ids.h"
#include "base/text_form.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A component with one integer list, stored while it is not empty.
class TRuler : public TComponent {
public:
    explicit TRuler(TComponent* owner = nullptr) : TComponent(owner) {}
    static const TClassInfo& StaticClass() {
        static const TClassInfo info{
            "TRuler", &TComponent::StaticClass(),
            {TypedProp<TRuler, std::vector<int32_t>>(
                "Marks", TPropKind::pkIntegerList, [](const TRuler& r) { return r.marks; },
                [](TRuler& r, const std::vector<int32_t>& v) { r.marks = v; },
                [](const TRuler& r) { return !r.marks.empty(); })},
            [] { return new TRuler(); }};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
    std::vector<int32_t> marks;
};

Bytes Str(const std::string& text) {
    Bytes out{static_cast<uint8_t>(text.size())};
    for (char c : text) out.push_back(static_cast<uint8_t>(c));
    return out;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes Stream(const Bytes& properties) {
    return Cat({{'T', 'P', 'F', '0'}, Str("TRuler"), Str(""), properties, {0}, {0}});
}

Bytes Write(TRuler& ruler) {
    TMemoryStream stream;
    TComponentWriter writer(stream);
    writer.WriteRootComponent(&ruler);
    return stream.Bytes();
}

void Read(TRuler& ruler, const Bytes& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    TComponentReader reader(stream);
    reader.ReadRootComponent(&ruler);
}

TEST(ComponentIntegerList, WrittenAsAListOfTheSmallestIntegers) {
    TRuler ruler;
    ruler.marks = {64, -1, 300, 70000};
    const Bytes expected = Stream(Cat({Str("Marks"), {vaList, vaInt8, 64, vaInt8, 0xFF, vaInt16, 0x2C, 0x01, vaInt32,
                                                       0x70, 0x11, 0x01, 0x00, vaNull}}));
    EXPECT_EQ(Write(ruler), expected);
    TRuler empty;
    EXPECT_EQ(Write(empty), Stream({})) << "an empty list is not stored here";
}

TEST(ComponentIntegerList, ReadBackAndShownAsText) {
    TRuler ruler;
    ruler.marks = {1, 2, 40000};
    const Bytes bytes = Write(ruler);
    TRuler copy;
    Read(copy, bytes);
    EXPECT_EQ(copy.marks, ruler.marks);
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    EXPECT_EQ(ComponentStreamToText(stream), "object TRuler\r\n  Marks = (\r\n    1\r\n    2\r\n    40000)\r\nend\r\n");
    TRuler none;
    none.marks = {9};
    Read(none, Stream(Cat({Str("Marks"), {vaList, vaNull}})));
    EXPECT_TRUE(none.marks.empty()) << "an empty list in the stream empties the property";
}

TEST(ComponentIntegerList, OtherValuesAreRefused) {
    struct TCase {
        const char* What;
        Bytes Properties;
    };
    const TCase cases[] = {
        {"a plain integer", Cat({Str("Marks"), {vaInt8, 5}})},
        {"a string in the list", Cat({Str("Marks"), {vaList, vaString, 1, 'x', vaNull}})},
        {"a list in the list", Cat({Str("Marks"), {vaList, vaList, vaNull, vaNull}})},
        {"as a string list", Cat({Str("Marks.Strings"), {vaList, vaNull}})},
    };
    for (const TCase& c : cases) {
        TRuler ruler;
        try {
            Read(ruler, Stream(c.Properties));
            ADD_FAILURE() << c.What << ": read";
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Id() == sid::InvalidPropertyValue || e.Id() == sid::InvalidPropertyPath) << c.What << " " << e.Id();
        }
    }
}

}  // namespace

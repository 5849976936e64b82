#include "base/persistent.h"

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/string_ids.h"

namespace {

// A small class pair with property rows, and assignment handled from one side only.
class TShape : public TPersistent {
public:
    static const TClassInfo& StaticClass() {
        static const TClassInfo info{"TShape", &TPersistent::StaticClass(),
                                     {IntProp<TShape>("Width", &TShape::Width, &TShape::SetWidth),
                                      StrProp<TShape>("Caption", &TShape::Caption, nullptr)},
                                     [] { return static_cast<TPersistent*>(new TShape); }};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
    int32_t Width() const { return width; }
    void SetWidth(int32_t w) { width = w; }
    std::string Caption() const { return "shape"; }
    int32_t width = 0;
};

class TBox : public TShape {
public:
    static const TClassInfo& StaticClass() {
        static const TClassInfo info{
            "TBox", &TShape::StaticClass(),
            {IntProp<TBox>("Depth", &TBox::Depth, &TBox::SetDepth, [](const TBox& b) { return b.depth != 0; }),
             SetProp<TBox>("Sides", {"sdLeft", "sdRight"}, &TBox::Sides, nullptr)},
            {}};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
    int32_t Depth() const { return depth; }
    void SetDepth(int32_t d) { depth = d; }
    uint32_t Sides() const { return 2; }
    // A box knows how to copy itself into a shape, a shape does not know boxes.
    void AssignTo(TPersistent* dest) override {
        if (auto* s = dynamic_cast<TShape*>(dest)) {
            s->width = width;
            return;
        }
        TPersistent::AssignTo(dest);
    }
    int32_t depth = 0;
};

class TOther : public TPersistent {
public:
    static const TClassInfo& StaticClass() {
        static const TClassInfo info{"TOther", &TPersistent::StaticClass(), {}, {}};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

TEST(ClassInfo, InheritsFromWalksTheBases) {
    EXPECT_TRUE(TBox::StaticClass().InheritsFrom(TShape::StaticClass()));
    EXPECT_TRUE(TBox::StaticClass().InheritsFrom(TPersistent::StaticClass()));
    EXPECT_TRUE(TBox::StaticClass().InheritsFrom(TBox::StaticClass()));
    EXPECT_FALSE(TShape::StaticClass().InheritsFrom(TBox::StaticClass()));
    EXPECT_FALSE(TOther::StaticClass().InheritsFrom(TShape::StaticClass()));
    TBox box;
    EXPECT_TRUE(box.InheritsFrom(TShape::StaticClass()));
    EXPECT_EQ(box.ClassName(), "TBox");
}

TEST(ClassInfo, AllPropsListsBaseRowsFirst) {
    std::vector<std::string> names;
    for (const TPropInfo* p : TBox::StaticClass().AllProps()) names.push_back(p->Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Width", "Caption", "Depth", "Sides"}));
    EXPECT_TRUE(TPersistent::StaticClass().AllProps().empty());
}

TEST(ClassInfo, FindPropIgnoresCaseAndSearchesBases) {
    const TClassInfo& box = TBox::StaticClass();
    ASSERT_NE(box.FindProp("WIDTH"), nullptr);
    EXPECT_EQ(box.FindProp("width")->Name, "Width");
    EXPECT_EQ(box.FindProp("depth")->Kind, TPropKind::pkInteger);
    EXPECT_EQ(box.FindProp("Height"), nullptr);
    EXPECT_EQ(TShape::StaticClass().FindProp("Depth"), nullptr);
}

TEST(ClassInfo, PropertyRowsReadWriteAndStoredRules) {
    TBox box;
    const TPropInfo* depth = box.ClassType().FindProp("Depth");
    EXPECT_FALSE(depth->IsStored(box));
    depth->Set(box, TPropValue(int32_t{7}));
    EXPECT_EQ(box.depth, 7);
    EXPECT_TRUE(depth->IsStored(box));
    EXPECT_EQ(std::get<int32_t>(depth->Get(box)), 7);
    const TPropInfo* caption = box.ClassType().FindProp("Caption");
    EXPECT_FALSE(caption->Set);  // no setter given: read-only
    EXPECT_TRUE(caption->IsStored(box));
    EXPECT_EQ(std::get<std::string>(caption->Get(box)), "shape");
    const TPropInfo* sides = box.ClassType().FindProp("Sides");
    EXPECT_EQ(std::get<TSetValue>(sides->Get(box)).bits, 2u);
    EXPECT_EQ(sides->SetNames, (std::vector<std::string>{"sdLeft", "sdRight"}));
}

TEST(Persistent, AssignAsksTheSourceToAssignItself) {
    TBox box;
    box.width = 12;
    TShape shape;
    shape.Assign(&box);
    EXPECT_EQ(shape.width, 12);
}

struct TAssignRow {
    const char* name;
    TPersistent* target;
    TPersistent* source;
    const char* message;
};

TEST(Persistent, UnknownPairsRaiseCannotAssign) {
    TShape shape;
    TBox box;
    TOther other;
    const TAssignRow rows[] = {
        {"base knows no copy", &box, &shape, "TShape kann nicht zu TBox zugewiesen werden"},
        {"unrelated source", &shape, &other, "TOther kann nicht zu TShape zugewiesen werden"},
        {"box into unrelated", &other, &box, "TBox kann nicht zu TOther zugewiesen werden"},
        {"nil source", &shape, nullptr, "nil kann nicht zu TShape zugewiesen werden"},
    };
    for (const TAssignRow& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            row.target->Assign(row.source);
            ADD_FAILURE() << "no exception";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Id(), sid::NodeCannotAssign);
            EXPECT_EQ(e.Message(), row.message);
        }
    }
    try {
        box.AssignTo(nullptr);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "TBox kann nicht zu nil zugewiesen werden");
    }
}

}  // namespace

#include "base/string_list.h"

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/string_ids.h"

namespace {

TStringList Of(std::initializer_list<const char*> lines) {
    TStringList list;
    for (const char* line : lines) list.Add(line);
    return list;
}

TEST(StringList, AddInsertDeleteMoveExchange) {
    TStringList list = Of({"a", "b", "c"});
    list.Insert(0, "first");
    list.Insert(4, "last");
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"first", "a", "b", "c", "last"}));
    list.Delete(1);
    list.Move(0, 3);
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"b", "c", "last", "first"}));
    list.Exchange(0, 3);
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"first", "c", "last", "b"}));
    list.SetStrings(1, "C");
    EXPECT_EQ(list.Strings(1), "C");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, ObjectsTravelWithTheirLines) {
    int x = 0, y = 0;
    TStringList list;
    list.AddObject("x", &x);
    list.AddObject("y", &y);
    list.InsertObject(0, "none", nullptr);
    list.Move(2, 0);
    EXPECT_EQ(list.Objects(0), &y);
    EXPECT_EQ(list.IndexOfObject(&x), 2);
    EXPECT_EQ(list.IndexOfObject(&list), -1);
    list.SetObjects(1, &x);
    EXPECT_EQ(list.IndexOfObject(&x), 1);
}

TEST(StringList, IndexErrorsCarryTheIndex) {
    TStringList list = Of({"a"});
    const std::vector<std::function<void()>> calls = {
        [&] { list.Strings(1); },         [&] { list.Strings(-1); },       [&] { list.SetStrings(1, ""); },
        [&] { list.Objects(5); },         [&] { list.Delete(1); },         [&] { list.Insert(2, "x"); },
        [&] { list.Exchange(0, 1); },     [&] { list.Move(1, 0); },        [&] { list.Names(3); },
    };
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        try {
            calls[i]();
            ADD_FAILURE() << "no exception";
        } catch (const EStringListError& e) {
            EXPECT_EQ(e.Id(), sid::ListIndexError);
            EXPECT_EQ(e.Args().size(), 1u);
        }
    }
    EXPECT_EQ(list.Lines(), std::vector<std::string>{"a"});
}

TEST(StringList, IndexOfIgnoresCase) {
    TStringList list = Of({"Alpha", "\xC4rger", "beta"});
    EXPECT_EQ(list.IndexOf("ALPHA"), 0);
    EXPECT_EQ(list.IndexOf("\xE4rger"), 1);
    EXPECT_EQ(list.IndexOf("gamma"), -1);
}

TEST(StringList, NameValueAccess) {
    TStringList list = Of({"plain", " Width =10", "Path=a=b", "empty="});
    EXPECT_EQ(list.IndexOfName("width"), 1);
    EXPECT_EQ(list.IndexOfName(" WIDTH "), 1);
    EXPECT_EQ(list.IndexOfName("plain"), -1);  // a line without "=" has no name
    EXPECT_EQ(list.Names(1), " Width ");
    EXPECT_EQ(list.Names(0), "");
    EXPECT_EQ(list.Values("width"), "10");
    EXPECT_EQ(list.Values("path"), "a=b");  // the value is everything after the first "="
    EXPECT_EQ(list.Values("empty"), "");
    EXPECT_EQ(list.Values("missing"), "");
    EXPECT_EQ(list.ValueFromIndex(0), "");
    EXPECT_EQ(list.ValueFromIndex(2), "a=b");
}

TEST(StringList, SetValuesReplacesAppendsAndDeletes) {
    TStringList list = Of({"A=1", "B=2"});
    list.SetValues("b", "3");
    list.SetValues("C", "4");
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"A=1", "b=3", "C=4"}));
    list.SetValues("a", "");
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"b=3", "C=4"}));
    list.SetValues("missing", "");
    EXPECT_EQ(list.Count(), 2);
}

TEST(StringList, TextJoinsWithCrLfAndSplitsAnyLineEnd) {
    TStringList list = Of({"a", "", "b"});
    EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
    const struct {
        const char* text;
        std::vector<std::string> lines;
    } rows[] = {
        {"", {}},
        {"one", {"one"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\rc", {"a", "b", "c"}},
        {"a\n\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"a\r\r\n", {"a", ""}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        list.SetText(row.text);
        EXPECT_EQ(list.Lines(), row.lines);
    }
}

TEST(StringList, OnChangeFiresPerChangeOrOncePerUpdate) {
    TStringList list;
    int changes = 0;
    list.OnChange = [&](TStringList& sender) {
        EXPECT_EQ(&sender, &list);
        ++changes;
    };
    list.Add("a");
    list.SetValues("x", "1");
    list.SetStrings(0, "b");
    EXPECT_EQ(changes, 3);
    list.BeginUpdate();
    list.Add("c");
    list.BeginUpdate();
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(changes, 3);
    list.EndUpdate();
    EXPECT_EQ(changes, 4);
    list.BeginUpdate();
    list.EndUpdate();  // nothing changed: no event
    EXPECT_EQ(changes, 4);
    list.SetText("x\ny\nz");
    EXPECT_EQ(changes, 5);
    list.Clear();
    list.Clear();  // already empty
    EXPECT_EQ(changes, 6);
    list.EndUpdate();  // unbalanced: ignored
    EXPECT_EQ(changes, 6);
}

TEST(StringList, AssignCopiesLinesAndObjects) {
    int obj = 0;
    TStringList source;
    source.AddObject("a", &obj);
    source.Add("b=c");
    TStringList target = Of({"old"});
    int changes = 0;
    target.OnChange = [&](TStringList&) { ++changes; };
    target.Assign(&source);
    EXPECT_EQ(target.Lines(), (std::vector<std::string>{"a", "b=c"}));
    EXPECT_EQ(target.Objects(0), &obj);
    EXPECT_EQ(changes, 1);
    target.Assign(&target);
    EXPECT_EQ(target.Count(), 2);
    source.Clear();
    EXPECT_EQ(target.Count(), 2);  // a copy, not a view
}

TEST(StringList, AssignFromOtherClassOrNilRaises) {
    TStringList list;
    TPersistent other;
    try {
        list.Assign(&other);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Id(), sid::NodeCannotAssign);
        EXPECT_EQ(e.Message(), "TPersistent kann nicht zu TStringList zugewiesen werden");
    }
    EXPECT_THROW(list.Assign(nullptr), EConvertError);
}

TEST(StringList, ClassInfoCreatesInstances) {
    const TClassInfo& info = TStringList::StaticClass();
    EXPECT_EQ(info.Name, "TStringList");
    EXPECT_TRUE(info.InheritsFrom(TPersistent::StaticClass()));
    ASSERT_TRUE(info.Create);
    std::unique_ptr<TPersistent> made(info.Create());
    EXPECT_EQ(made->ClassName(), "TStringList");
}

}  // namespace

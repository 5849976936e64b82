// The numbering and ordering of picture lists: free IDs, bounds, the lookup cache, deferred
// sorting, notifications, and loading the entries of a .PIL file.
#include "pictures/picture_entries.h"

#include <gtest/gtest.h>

namespace {

std::vector<int32_t> Ids(const TPictureEntries& list) {
    std::vector<int32_t> ids;
    for (int i = 0; i < list.Count(); ++i) ids.push_back(list.Items(i)->ID);
    return ids;
}

void GivePicture(TPictureItem* e) { e->Image = {"TBitmap", {'B', 'M'}}; }

TEST(PictureEntries, FreeIdsFollowTheBounds) {
    struct TCase {
        const char* Name;
        int32_t Minimum, Maximum;
        std::vector<int32_t> Expected;  // three AddPicture(0) in a row
    };
    const std::vector<TCase> cases = {
        {"no bounds", 0, 0, {0, 0, 0}},
        {"maximum only: downward", 0, 1000, {1000, 999, 998}},
        {"both: upward", 1, 1000, {1, 2, 3}},
        {"minimum only: upward without end", 5, 0, {5, 6, 7}},
        {"room for two", 1, 2, {1, 2, 0}},
    };
    for (const TCase& c : cases) {
        TPictureEntries list;
        list.SetIDMinimum(c.Minimum);
        list.SetIDMaximum(c.Maximum);
        std::vector<int32_t> got;
        for (int i = 0; i < 3; ++i) got.push_back(list.AddPicture(0)->ID);
        EXPECT_EQ(got, c.Expected) << c.Name;
    }
}

TEST(PictureEntries, FullListAppendsAnEntryWithoutId) {
    TPictureEntries list;
    list.SetIDMinimum(1);
    list.SetIDMaximum(1000);
    list.BeginUpdate();
    for (int i = 0; i < 1000; ++i) list.AddPicture(0);
    list.EndUpdate(true);
    EXPECT_EQ(list.Items(999)->ID, 1000);
    TPictureItem* extra = list.AddPicture(0);
    EXPECT_EQ(extra->ID, 0);
    EXPECT_EQ(list.Items(1000), extra);  // at the end
    EXPECT_FALSE(list.IsFreeID(500));
    EXPECT_EQ(list.GetFreeID(), 0);
}

TEST(PictureEntries, BoundsSwapWhenTheyCross) {
    TPictureEntries list;
    list.SetIDMinimum(10);
    list.SetIDMaximum(20);
    list.SetIDMinimum(30);  // above the maximum: the maximum takes it, the minimum the old maximum
    EXPECT_EQ(list.IDMinimum(), 20);
    EXPECT_EQ(list.IDMaximum(), 30);
    list.SetIDMaximum(5);  // below the minimum
    EXPECT_EQ(list.IDMinimum(), 5);
    EXPECT_EQ(list.IDMaximum(), 20);
    list.SetIDMaximum(0);  // no bound: no swap
    EXPECT_EQ(list.IDMinimum(), 5);
    EXPECT_EQ(list.IDMaximum(), 0);
    list.SetIDMinimum(50);  // no maximum to cross
    EXPECT_EQ(list.IDMinimum(), 50);
}

TEST(PictureEntries, GetPictureMakesAnEmptyEntryWithoutNotification) {
    TPictureEntries list;
    int notifications = 0;
    list.AddPicture(5);
    list.AddPicture(9);
    list.OnChanged = [&](TPictureItem*) { ++notifications; };
    list.SetDefaultOption(TPictOption{poTiled});
    TPictureItem* e = list.GetPicture(7);
    EXPECT_EQ(notifications, 0);
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{5, 7, 9}));
    EXPECT_TRUE(e->IsEmpty());
    EXPECT_EQ(e->Option, TPictOption{poTiled});
    EXPECT_EQ(list.GetPicture(7), e);
    EXPECT_EQ(list.GetPicture(5), list.Items(0));
}

TEST(PictureEntries, FindPictureMakesNothing) {
    TPictureEntries list;
    TPictureItem* five = list.AddPicture(5);
    TPictureItem* minus = list.AddPicture(-2);
    EXPECT_EQ(list.FindPicture(7), nullptr);
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{-2, 5}));
    EXPECT_EQ(list.FindPicture(5), five);
    EXPECT_EQ(list.FindPicture(-2), minus);
    // A renumbered entry is found under its new number only.
    list.SetEntryID(five, 8);
    EXPECT_EQ(list.FindPicture(5), nullptr);
    EXPECT_EQ(list.FindPicture(8), five);
}

TEST(PictureEntries, ChangingAnIdLeavesNoStaleCacheAndSortsLater) {
    TPictureEntries list;
    TPictureItem* a = list.AddPicture(1);
    list.AddPicture(2);
    EXPECT_EQ(list.GetPicture(1), a);
    list.SetEntryID(a, 3);
    EXPECT_TRUE(a->Option.Has(poModified));
    TPictureItem* fresh = list.GetPicture(1);  // not the renumbered entry
    EXPECT_NE(fresh, a);
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(list.GetPicture(3), a);
}

TEST(PictureEntries, IsFreeIdInsideAnUpdateSeesUnsortedEntries) {
    TPictureEntries list;
    TPictureItem* a = list.AddPicture(1);
    list.AddPicture(2);
    list.AddPicture(3);
    list.BeginUpdate();
    list.SetEntryID(a, 10);  // now out of order; sorting waits for the update's end
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{10, 2, 3}));
    EXPECT_FALSE(list.IsFreeID(10));
    EXPECT_TRUE(list.IsFreeID(1));
    list.EndUpdate(true);
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{2, 3, 10}));
}

TEST(PictureEntries, InsertGoesBeforeEqualIdsAndNumbersIdLessEntries) {
    TPictureEntries list;
    list.SetIDMinimum(1);
    list.SetIDMaximum(100);
    TPictureItem* first = list.AddPicture(4);
    TPictureItem* second = list.InsertEntry(std::make_unique<TPictureItem>(TPictOption(), 4));
    EXPECT_EQ(list.Items(0), second);
    EXPECT_EQ(list.Items(1), first);
    TPictureItem* numbered = list.InsertEntry(std::make_unique<TPictureItem>(TPictOption(), 0));
    EXPECT_EQ(numbered->ID, 1);
    EXPECT_EQ(list.Items(0), numbered);
}

TEST(PictureEntries, ReorganizeDropsEmptiesNumbersAndSortsStably) {
    TPictureEntries list;
    list.BeginUpdate();
    std::vector<TPictureItem*> made;
    for (int32_t id : {8, 0, 3, 8, 0, 5}) {
        TPictureItem* e = list.InsertEntry(std::make_unique<TPictureItem>(TPictOption(), 0));
        e->ID = id;
        made.push_back(e);
    }
    GivePicture(made[0]);
    GivePicture(made[1]);
    GivePicture(made[3]);
    GivePicture(made[4]);
    GivePicture(made[5]);  // made[2] (ID 3) stays empty
    list.EndUpdate(true);
    list.SetIDMinimum(0);
    list.SetIDMaximum(9);
    list.Reorganize(true);
    // The ID-less entries get 9 and then 7 (8 is taken), counting down from the maximum.
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{5, 7, 8, 8, 9}));
    EXPECT_EQ(list.Items(2), made[0]);  // equal IDs keep their order
    EXPECT_EQ(list.Items(3), made[3]);
    EXPECT_EQ(list.Items(4), made[1]);
    EXPECT_EQ(list.Items(1), made[4]);
}

TEST(PictureEntries, NotificationsOutsideAndAtTheEndOfUpdates) {
    TPictureEntries list;
    std::vector<TPictureItem*> senders;
    list.OnChanged = [&](TPictureItem* e) { senders.push_back(e); };
    TPictureItem* a = list.AddPicture(1);
    EXPECT_EQ(senders, (std::vector<TPictureItem*>{nullptr}));
    list.SetEntryOption(a, TPictOption{poStretch});
    EXPECT_EQ(senders.back(), a);
    list.SetEntryOption(a, a->Option);  // unchanged: nothing
    EXPECT_EQ(senders.size(), 2u);
    senders.clear();
    list.BeginUpdate();
    list.BeginUpdate();
    list.AddPicture(2);
    list.SetEntryID(a, 3);
    list.EndUpdate(true);
    EXPECT_TRUE(senders.empty());
    list.EndUpdate(true);
    EXPECT_EQ(senders, (std::vector<TPictureItem*>{nullptr}));
    senders.clear();
    list.BeginUpdate();
    list.AddPicture(4);
    list.EndUpdate(false);
    list.BeginUpdate();
    list.EndUpdate(true);
    list.Clear();
    EXPECT_TRUE(senders.empty());
    EXPECT_EQ(list.Count(), 0);
    list.EndUpdate(true);  // without an open update: nothing
    EXPECT_TRUE(list.Modified());
}

TPictureFile FileWith(std::vector<std::pair<int32_t, std::string>> entries, int32_t minimum, int32_t maximum) {
    TPictureFile file;
    file.IDMinimum = minimum;
    file.IDMaximum = maximum;
    for (const auto& [id, cls] : entries) {
        TPictureFileEntry e;
        e.ID = id;
        e.ResourceID = id + 100;
        e.Option = TPictOption{poMasked};
        if (!cls.empty()) e.Image = {cls, {'B', 'M', uint8_t(id)}};
        file.Entries.push_back(e);
    }
    return file;
}

TEST(PictureEntries, LoadingAFileKeepsTheBoundsAndDropsWhatCannotBeShown) {
    TPictureEntries list;
    list.SetIDMinimum(1);
    list.SetIDMaximum(1000);
    list.SetDefaultOption(TPictOption{poLeft});
    list.AddPicture(0);
    int notifications = 0;
    list.OnChanged = [&](TPictureItem* e) { notifications += e == nullptr; };
    // An entry without picture (the reader's result for unknown classes) and ID-less entries,
    // numbered within the file's own bounds (50 downward).
    const TPictureFile file = FileWith({{30, "TBitmap"}, {0, "TIcon"}, {12, ""}, {0, "TGIFBitmap"}, {30, "TDIBBitmap"}}, 0, 50);
    list.LoadFromFile(file);
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{30, 30, 49, 50}));
    EXPECT_EQ(list.Items(0)->Image.ClassName, "TBitmap");
    EXPECT_EQ(list.Items(1)->Image.ClassName, "TDIBBitmap");
    EXPECT_EQ(list.Items(3)->Image.ClassName, "TIcon");
    EXPECT_EQ(list.Items(0)->ResourceID, 130);
    EXPECT_TRUE(list.Items(0)->Option.Has(poMasked));
    EXPECT_EQ(list.IDMinimum(), 1);
    EXPECT_EQ(list.IDMaximum(), 1000);
    EXPECT_EQ(list.DefaultOption(), (TPictOption{poLeft, poModified}));
    EXPECT_EQ(notifications, 1);
    // Saving writes the list's own bounds and the entries in order.
    const TPictureFile saved = list.SaveToFile("Symbole");
    EXPECT_EQ(saved.Name, "Symbole");
    EXPECT_EQ(saved.IDMinimum, 1);
    ASSERT_EQ(saved.Entries.size(), 4u);
    EXPECT_EQ(saved.Entries[2].Image.ClassName, "TGIFBitmap");
}

TEST(PictureEntries, AssignCopiesEntriesOptionsAndBounds) {
    TPictureEntries source;
    source.SetIDMinimum(3);
    source.SetIDMaximum(9);
    GivePicture(source.AddPicture(0));
    GivePicture(source.AddPicture(0));
    source.Items(1)->SourceName = "Datei";
    TPictureEntries copy;
    copy.AddPicture(77);
    copy.Assign(source);
    EXPECT_EQ(Ids(copy), (std::vector<int32_t>{3, 4}));
    EXPECT_EQ(copy.IDMinimum(), 3);
    EXPECT_EQ(copy.Items(1)->SourceName, "Datei");
    EXPECT_EQ(copy.Items(0)->Image, source.Items(0)->Image);
    EXPECT_NE(copy.Items(0), source.Items(0));
}

TEST(PictureEntries, EntryFactoryMakesTheEntries) {
    struct TCounted : TPictureItem {
        using TPictureItem::TPictureItem;
        bool IsEmpty() const override { return false; }
    };
    TPictureEntries list;
    list.SetEntryFactory([](TPictOption o, int32_t id) { return std::make_unique<TCounted>(o, id); });
    list.GetPicture(4);
    list.Reorganize(true);  // never empty: kept
    ASSERT_EQ(list.Count(), 1);
    EXPECT_NE(dynamic_cast<TCounted*>(list.Items(0)), nullptr);
}

TEST(PictureEntries, AssignMakesEntriesWithThisListsFactoryThroughAssignItem) {
    struct TTagged : TPictureItem {
        TTagged(TPictOption o, int32_t id, int tag) : TPictureItem(o, id), Tag(tag) {}
        void AssignItem(const TPictureItem& source) override {
            TPictureItem::AssignItem(source);
            ++Copies;
        }
        int Tag;
        int Copies = 0;
    };
    TPictureEntries source, copy;
    source.SetEntryFactory([](TPictOption o, int32_t id) { return std::make_unique<TTagged>(o, id, 1); });
    copy.SetEntryFactory([](TPictOption o, int32_t id) { return std::make_unique<TTagged>(o, id, 2); });
    GivePicture(source.AddPicture(9));
    GivePicture(source.AddPicture(4));
    copy.Assign(source);
    ASSERT_EQ(copy.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        auto* e = dynamic_cast<TTagged*>(copy.Items(i));
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->Tag, 2);  // made by the copy's own factory
        EXPECT_EQ(e->Copies, 1);
    }
    EXPECT_EQ(Ids(copy), (std::vector<int32_t>{4, 9}));
    // The factory stays the copy's: new entries are its own too.
    EXPECT_EQ(dynamic_cast<TTagged*>(copy.AddPicture(20))->Tag, 2);
}

TEST(PictureEntries, AppendKeepsTheOrderUntilTheListSorts) {
    TPictureEntries list;
    std::vector<TPictureItem*> senders;
    list.OnChanged = [&](TPictureItem* e) { senders.push_back(e); };
    list.Append(std::make_unique<TPictureItem>(TPictOption(), 7));
    list.Append(std::make_unique<TPictureItem>(TPictOption(), 3));
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{7, 3}));
    EXPECT_EQ(senders, (std::vector<TPictureItem*>{nullptr, nullptr}));
    EXPECT_EQ(list.GetPicture(3)->ID, 3);  // looking up sorts first
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{3, 7}));
}

TEST(PictureEntries, SettingAnIdWithoutNotificationStillMarksForSorting) {
    TPictureEntries list;
    TPictureItem* a = list.AddPicture(1);
    list.AddPicture(2);
    int notifications = 0;
    list.OnChanged = [&](TPictureItem*) { ++notifications; };
    list.SetEntryID(a, 5, false);
    EXPECT_EQ(notifications, 0);
    EXPECT_FALSE(a->Option.Has(poModified));
    EXPECT_EQ(list.GetPicture(5), a);
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{2, 5}));
}

}  // namespace

// Object storage names, HIMETRIC sizes, the verbs of the context menu, the insert dialog's
// place and the cursor rule.
#include <gtest/gtest.h>

#include "editor/embedded_objects.h"

namespace {

TEST(EmbeddedObjectsTest, StorageNamesFollowTheCounter) {
    EXPECT_EQ(ObjectStorageName(1), "REOBJ1");
    EXPECT_EQ(ObjectStorageName(2), "REOBJ2");
    EXPECT_EQ(ObjectStorageName(117), "REOBJ117");
}

TEST(EmbeddedObjectsTest, HimetricToPixelsRoundsLikeMulDiv) {
    struct {
        int himetric;
        int ppi;
        int pixels;
    } const cases[] = {
        {2540, 96, 96}, {0, 96, 0}, {1000, 96, 38}, {13, 96, 0}, {14, 96, 1}, {-2540, 96, -96}, {-14, 96, -1}, {2540, 120, 120},
    };
    for (const auto& c : cases) EXPECT_EQ(HimetricToPixels(c.himetric, c.ppi), c.pixels) << c.himetric << " at " << c.ppi;
}

TEST(EmbeddedObjectsTest, ContainerMenuListsNonNegativeVerbsMarkedForIt) {
    const std::vector<TObjectVerb> verbs = {
        {0, "&Bearbeiten", VerbOnContainerMenu}, {1, "Ö&ffnen", VerbOnContainerMenu | 1}, {2, "Intern", 0},
        {-1, "Anzeigen", VerbOnContainerMenu},   {-3, "Verbergen", 0},                    {3, "Drucken", 1},
    };
    const std::vector<TObjectVerb> listed = ContainerMenuVerbs(verbs);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].Name, "&Bearbeiten");
    EXPECT_EQ(listed[1].Number, 1);
    EXPECT_TRUE(ContainerMenuVerbs({}).empty());
}

TEST(EmbeddedObjectsTest, InsertDialogOpensCentredAThirdDown) {
    const TDialogOrigin at = InsertDialogOrigin(0, 0, 1024, 768, 424, 288);
    EXPECT_EQ(at.X, 300);
    EXPECT_EQ(at.Y, 160);
    const TDialogOrigin offset = InsertDialogOrigin(100, 50, 800, 600, 400, 300);
    EXPECT_EQ(offset.X, 300);
    EXPECT_EQ(offset.Y, 150);
}

TEST(EmbeddedObjectsTest, ArrowOverObjectsActiveInPlaceOrNotSelected) {
    EXPECT_TRUE(ObjectShowsArrow(0));
    EXPECT_TRUE(ObjectShowsArrow(ObjectInPlaceActive));
    EXPECT_TRUE(ObjectShowsArrow(ObjectInPlaceActive | ObjectSelected));
    EXPECT_FALSE(ObjectShowsArrow(ObjectSelected));
    EXPECT_FALSE(ObjectShowsArrow(ObjectSelected | 0x1));
}

}  // namespace

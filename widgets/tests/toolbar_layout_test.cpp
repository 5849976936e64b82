// The docking toolbars' window-free rules: rows and offsets in a dock, the row a drop lands in,
// and positions saved and loaded through the four callbacks, in memory and through the
// configuration file.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "base/exception.h"
#include "base/program.h"
#include "config/configuration.h"
#include "widgets/toolbar_layout.h"
#include "widgets/toolbar_store.h"

namespace fs = std::filesystem;

namespace {

TEST(DockLayoutTest, RowsAreNumberedByOrderAndStacked) {
    // Rows 5 and 2: row 2 comes first. Thicknesses 26 and 30.
    const TDockLayout layout = LayoutDock({{5, 0, 100, 26}, {2, 10, 50, 30}, {5, 120, 40, 22}}, 500);
    ASSERT_EQ(layout.Slots.size(), 3u);
    EXPECT_EQ(layout.Slots[1], (TDockSlot{0, 10, 0}));
    EXPECT_EQ(layout.Slots[0], (TDockSlot{1, 0, 30}));
    EXPECT_EQ(layout.Slots[2], (TDockSlot{1, 120, 30}));
    EXPECT_EQ(layout.RowThickness, (std::vector<int>{30, 26}));
    EXPECT_EQ(layout.Thickness, 56);
}

TEST(DockLayoutTest, PositionsInARowTable) {
    struct Case {
        std::vector<int> offsets, lengths;
        int dockLength;
        std::vector<int> positions;
    } cases[] = {
        {{0, 50}, {40, 40}, 300, {0, 50}},
        {{0, 20}, {40, 40}, 300, {0, 40}},        // overlapping: right after the one before
        {{20, 0}, {40, 40}, 300, {40, 0}},        // order by offset, not by list order
        {{250}, {100}, 300, {200}},               // past the end: pushed back
        {{0, 280}, {100, 100}, 300, {0, 200}},
        {{150, 180}, {100, 100}, 300, {100, 200}},// both pushed back
        {{0, 10}, {200, 200}, 300, {0, 200}},     // longer than the dock: runs past the end
        {{-30}, {50}, 300, {0}},                  // negative offsets start at 0
        {{10, 10}, {30, 30}, 300, {10, 40}},      // equal offsets keep the list order
    };
    int row = 0;
    for (const Case& c : cases) {
        std::vector<TDockItem> items;
        for (size_t i = 0; i < c.offsets.size(); ++i) items.push_back({0, c.offsets[i], c.lengths[i], 20});
        const TDockLayout layout = LayoutDock(items, c.dockLength);
        std::vector<int> positions;
        for (const TDockSlot& slot : layout.Slots) positions.push_back(slot.Position);
        EXPECT_EQ(positions, c.positions) << "row " << row;
        ++row;
    }
}

TEST(DockLayoutTest, AnEmptyDockHasNoThickness) {
    const TDockLayout layout = LayoutDock({}, 300);
    EXPECT_TRUE(layout.Slots.empty());
    EXPECT_EQ(layout.Thickness, 0);
}

TEST(DockLayoutTest, DropRows) {
    const std::vector<int> rows{26, 30};
    EXPECT_EQ(DockDropRow(rows, -3), (TDockDrop{0, true}));
    EXPECT_EQ(DockDropRow(rows, 0), (TDockDrop{0, false}));
    EXPECT_EQ(DockDropRow(rows, 25), (TDockDrop{0, false}));
    EXPECT_EQ(DockDropRow(rows, 26), (TDockDrop{1, false}));
    EXPECT_EQ(DockDropRow(rows, 55), (TDockDrop{1, false}));
    EXPECT_EQ(DockDropRow(rows, 56), (TDockDrop{2, true}));
    EXPECT_EQ(DockDropRow({}, 5), (TDockDrop{0, true}));
}

// A store over a map, as a window's callbacks would be.
struct TMapStore {
    std::map<std::string, int32_t> integers;
    std::map<std::string, std::string> strings;
    TToolbarPositionStore Store() {
        TToolbarPositionStore store;
        store.WriteInteger = [this](const std::string& n, int32_t v) { integers[n] = v; };
        store.WriteString = [this](const std::string& n, const std::string& v) { strings[n] = v; };
        store.ReadInteger = [this](const std::string& n, int32_t d) { return integers.count(n) ? integers[n] : d; };
        store.ReadString = [this](const std::string& n, const std::string& d) { return strings.count(n) ? strings[n] : d; };
        return store;
    }
};

TEST(ToolbarPlacementTest, SavedValuesUseTheToolbarNameAndComeBack) {
    TMapStore map;
    const TToolbarPlacement placement{"DockBottom", true, 2, 64, -20, 300, false};
    SaveToolbarPlacement(map.Store(), "ExtraToolbar", placement);
    EXPECT_EQ(map.strings["ExtraToolbar\\DockedTo"], "DockBottom");
    EXPECT_EQ(map.integers["ExtraToolbar\\DockRow"], 2);
    EXPECT_EQ(map.integers["ExtraToolbar\\DockPos"], 64);
    EXPECT_EQ(map.integers["ExtraToolbar\\FloatLeft"], -20);
    EXPECT_EQ(map.integers["ExtraToolbar\\Visible"], 0);
    EXPECT_EQ(map.integers["ExtraToolbar\\Floating"], 1);
    EXPECT_EQ(LoadToolbarPlacement(map.Store(), "ExtraToolbar", TToolbarPlacement{}), placement);
    // Nothing stored: the current placement is the default.
    const TToolbarPlacement current{"DockTop", false, 1, 5, 0, 0, true};
    EXPECT_EQ(LoadToolbarPlacement(map.Store(), "Other", current), current);
    EXPECT_EQ(LoadToolbarPlacement(TToolbarPositionStore{}, "ExtraToolbar", current), current);
}

TEST(ToolbarPlacementTest, OutOfRangeValuesAreAnError) {
    const std::pair<const char*, int32_t> bad[] = {
        {"T\\DockRow", -1}, {"T\\DockRow", 256}, {"T\\DockPos", -5}, {"T\\DockPos", 40000},
        {"T\\FloatLeft", 50000}, {"T\\FloatTop", -40000}, {"T\\Visible", 2}, {"T\\Floating", -1},
    };
    for (const auto& [name, value] : bad) {
        TMapStore map;
        map.integers[name] = value;
        EXPECT_THROW(LoadToolbarPlacement(map.Store(), "T", TToolbarPlacement{}), Exception) << name << "=" << value;
    }
}

class TApplicationComponent : public TComponent {
public:
    static const TClassInfo& StaticClass() {
        static const TClassInfo info{"TApplication", &TComponent::StaticClass(), {}, {}};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

TEST(ToolbarPlacementTest, PositionsSurviveTheConfigurationFile) {
    const fs::path dir = fs::temp_directory_path() / "varnolet_toolbar_store";
    fs::remove_all(dir);
    fs::create_directories(dir);
    SetProgramFileName((dir / "Varnolet.exe").string());
    TApplicationComponent application;
    TComponent* window = new TComponent(&application);
    window->SetName("VarnoletWin");
    const TToolbarPlacement placement{"DockLeft", false, 1, 33, 400, 250, true};
    SaveToolbarPlacement(ComponentPositionStore(window), "Toolbar1", placement);
    EXPECT_EQ(ReadInteger("TApplication\\VarnoletWin\\Toolbar1\\DockPos", 0), 33);
    EXPECT_EQ(ReadString("TApplication\\VarnoletWin\\Toolbar1\\DockedTo", ""), "DockLeft");
    FreeConfiguration();  // written to the file and freed: the next read loads the file
    EXPECT_FALSE(HasConfiguration());
    EXPECT_EQ(LoadToolbarPlacement(ComponentPositionStore(window), "Toolbar1", TToolbarPlacement{}), placement);
    FreeConfiguration();
    ProgramMessages().clear();
    fs::remove_all(dir);
}

}  // namespace

// The main window driven for real: created with its caption from the string table, shown,
// photographed, closed with WM_CLOSE.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/cp1252.h"
#include "winui/resource_module_win.h"
#include "tests/wine/screenshot_win.h"
#include "tests/wine/winui_testing_win.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "app/varnolet_win.h"

namespace {

std::string WindowCaption(HWND window)
{
    wchar_t buffer[256] = {};
    int length = GetWindowTextW(window, buffer, 256);
    return Utf16ToCp1252(std::u16string(reinterpret_cast<const char16_t*>(buffer), length));
}

class VarnoletWinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreeResourceModule();
        previousSource_ = SetStringSource(&moduleStrings_);
    }
    void TearDown() override { SetStringSource(previousSource_); }

    TModuleStringSource moduleStrings_;
    const TStringSource* previousSource_ = nullptr;
};

TEST_F(VarnoletWinTest, CaptionComesFromTheStringTable)
{
    TVarnoletWin window;
    window.Create();
    ASSERT_NE(window.Handle(), nullptr);
    EXPECT_EQ(WindowCaption(window.Handle()), LoadStr(sid::ProgramName));
    EXPECT_EQ(WindowCaption(window.Handle()), "Dadirevovezi");
    EXPECT_FALSE(IsWindowVisible(window.Handle()));
}

TEST_F(VarnoletWinTest, ShowsAndClosesOnWmClose)
{
    TVarnoletWin window;
    int destroyed = 0;
    window.OnDestroy = [&](TVarnoletWin& sender) {
        EXPECT_EQ(&sender, &window);
        ++destroyed;
    };
    window.Create();
    const HWND handle = window.Handle();
    window.Show(SW_SHOWNORMAL);
    SetForegroundWindow(handle);
    WaitForInputHandled();
    EXPECT_TRUE(IsWindowVisible(handle));
    RECT client;
    ASSERT_TRUE(GetClientRect(handle, &client));
    EXPECT_GT(client.right, 100);
    EXPECT_GT(client.bottom, 100);

    std::string error;
    EXPECT_TRUE(TakeScreenshot(handle, "main_window", error)) << error;
    if (!error.empty())
        std::printf("note: %s\n", error.c_str());

    PostMessageW(handle, WM_CLOSE, 0, 0);
    WaitFor([&] { return !IsWindow(handle); });
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(destroyed, 1);
}

TEST_F(VarnoletWinTest, DestroyedWithItsObject)
{
    HWND handle = nullptr;
    int destroyed = 0;
    {
        TVarnoletWin window;
        window.OnDestroy = [&](TVarnoletWin&) { ++destroyed; };
        window.Create();
        handle = window.Handle();
        ASSERT_TRUE(IsWindow(handle));
    }
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(destroyed, 1);
}

}  // namespace

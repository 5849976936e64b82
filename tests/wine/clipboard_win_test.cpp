// TWin32Clipboard against the real clipboard: registered formats, blocks put and read back,
// the emptying on the first SetData after Open, nesting, and a clipboard held elsewhere.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "winui/clipboard_win.h"
#include "base/exception.h"
#include "base/string_ids.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A zero-terminated text as the clipboard holds it.
std::vector<uint8_t> TextBlock(const std::string& text)
{
    std::vector<uint8_t> block = Bytes(text);
    block.push_back(0);
    return block;
}

std::string TextOf(const std::vector<uint8_t>& block)
{
    const char* start = reinterpret_cast<const char*>(block.data());
    return std::string(start, strnlen(start, block.size()));
}

// The system may round blocks up: the block read must start with what was put.
void ExpectBlockStartsWith(const std::vector<uint8_t>& block, const std::vector<uint8_t>& put)
{
    ASSERT_GE(block.size(), put.size());
    EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.begin() + put.size()), put);
}

class Win32ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override { nodeFormat_ = clipboard_.RegisterFormat("Node Object"); }

    TWin32Clipboard clipboard_;
    unsigned nodeFormat_ = 0;
};

TEST_F(Win32ClipboardTest, RegisteredFormatIsStableAndSharedWithTheSystem)
{
    EXPECT_GE(nodeFormat_, 0xC000u);
    EXPECT_EQ(clipboard_.RegisterFormat("Node Object"), nodeFormat_);
    EXPECT_EQ(RegisterClipboardFormatA("Node Object"), nodeFormat_);
    EXPECT_NE(clipboard_.RegisterFormat("Varnolet Other Format"), nodeFormat_);
}

TEST_F(Win32ClipboardTest, NodeObjectAndTextRoundTrip)
{
    // Binary bytes, zeros and bytes above 127 included.
    const std::vector<uint8_t> nodeBlock = {'T', 'P', 'F', '0', 0, 1, 2, 0x80, 0xFF, 0, 7};
    const std::string text = "Gr\xFC\xDF" "e aus Varnolet";

    clipboard_.Open();
    clipboard_.SetData(nodeFormat_, nodeBlock);
    clipboard_.SetData(cfText, TextBlock(text));
    clipboard_.Close();

    EXPECT_TRUE(clipboard_.HasFormat(nodeFormat_));
    EXPECT_TRUE(clipboard_.HasFormat(cfText));
    clipboard_.Open();
    ExpectBlockStartsWith(clipboard_.GetData(nodeFormat_), nodeBlock);
    EXPECT_EQ(TextOf(clipboard_.GetData(cfText)), text);
    clipboard_.Close();
}

TEST_F(Win32ClipboardTest, ReadsWhatAnotherWriterPut)
{
    HWND writer = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(writer, nullptr);
    ASSERT_TRUE(OpenClipboard(writer));
    EmptyClipboard();
    const char text[] = "von au\xDF" "en";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
    std::memcpy(GlobalLock(block), text, sizeof(text));
    GlobalUnlock(block);
    ASSERT_TRUE(SetClipboardData(CF_TEXT, block));
    CloseClipboard();
    EXPECT_EQ(GetClipboardOwner(), writer);

    // Outside a bracket GetData opens and closes the clipboard itself.
    EXPECT_EQ(TextOf(clipboard_.GetData(cfText)), text);
    EXPECT_FALSE(clipboard_.IsOpen());
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
    DestroyWindow(writer);
}

TEST_F(Win32ClipboardTest, FirstSetDataAfterOpenEmptiesTheClipboard)
{
    clipboard_.SetData(cfText, TextBlock("alt"));
    ASSERT_TRUE(clipboard_.HasFormat(cfText));

    clipboard_.Open();
    clipboard_.SetData(nodeFormat_, Bytes("neu"));
    clipboard_.Close();

    // Emptying made this clipboard's window the owner.
    EXPECT_EQ(GetClipboardOwner(), clipboard_.OwnerWindow());
    EXPECT_TRUE(clipboard_.HasFormat(nodeFormat_));
    EXPECT_FALSE(clipboard_.HasFormat(cfText));
    EXPECT_TRUE(clipboard_.GetData(cfText).empty());
}

TEST_F(Win32ClipboardTest, AbsentFormatGivesEmptyBlock)
{
    clipboard_.SetData(cfText, TextBlock("nur Text"));
    EXPECT_FALSE(clipboard_.HasFormat(nodeFormat_));
    EXPECT_TRUE(clipboard_.GetData(nodeFormat_).empty());
}

TEST_F(Win32ClipboardTest, NestedOpenReachesTheSystemOnlyOnce)
{
    clipboard_.Open();
    clipboard_.Open();
    EXPECT_EQ(GetOpenClipboardWindow(), clipboard_.OwnerWindow());
    clipboard_.Close();
    EXPECT_TRUE(clipboard_.IsOpen());
    EXPECT_EQ(GetOpenClipboardWindow(), clipboard_.OwnerWindow());
    clipboard_.Close();
    EXPECT_FALSE(clipboard_.IsOpen());
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
    // A Close too many does nothing.
    clipboard_.Close();
    EXPECT_FALSE(clipboard_.IsOpen());
}

TEST_F(Win32ClipboardTest, ClipboardHeldByAnotherThreadRaisesOpenError)
{
    std::atomic<int> state{0};  // 1: holder has the clipboard, 2: holder may let go
    std::atomic<bool> holderOpened{false};
    std::thread holder([&] {
        holderOpened = OpenClipboard(nullptr) != 0;
        state = 1;
        while (state != 2)
            Sleep(5);
        if (holderOpened)
            CloseClipboard();
        state = 3;
    });
    while (state == 0)
        Sleep(5);
    ASSERT_TRUE(holderOpened);

    const DWORD start = GetTickCount();
    try {
        clipboard_.Open();
        ADD_FAILURE() << "Open succeeded while another thread held the clipboard";
        clipboard_.Close();
    } catch (const EClipboardError& error) {
        EXPECT_EQ(error.Id(), sid::ClipboardOpenError);
        EXPECT_FALSE(error.Message().empty());
    }
    // It retried for a while before giving up, but not for long.
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 100u);
    EXPECT_LT(elapsed, 5000u);
    EXPECT_FALSE(clipboard_.IsOpen());

    state = 2;
    holder.join();
    EXPECT_NO_THROW(clipboard_.Open());
    EXPECT_TRUE(clipboard_.IsOpen());
    clipboard_.Close();
}

}  // namespace

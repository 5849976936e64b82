// The application services driven for real: the handler lists of the application hook with
// real clipboard changes and messages, the busy cursor, the held-input test, the mouse
// tracking list fed by the thread's mouse hook, and copying menu items.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/wine/screenshot_win.h"
#include "tests/wine/winui_testing_win.h"
#include "widgets/application_hook_win.h"
#include "widgets/app_services_win.h"
#include "widgets/data_drag_win.h"
#include "winui/application_win.h"
#include "winui/menu_win.h"

namespace {

class TClipboardListener : public TComponent {
public:
    void Changed() { ++changes; }
    void AlsoChanged() { ++otherChanges; }
    bool Message(THookMessage& msg) {
        ++messages;
        msg.Result = 4711;
        return true;
    }
    bool ShortCut(intptr_t data) {
        lastData = data;
        return true;
    }
    int changes = 0;
    int otherChanges = 0;
    int messages = 0;
    intptr_t lastData = 0;
};

// Puts a text on the system clipboard, which sends WM_DRAWCLIPBOARD down the viewer chain, and
// waits until Changes (a listener's count) has grown.
void ChangeClipboard(const char* text, const int& changes) {
    const int before = changes;
    ASSERT_TRUE(OpenClipboard(Application->Handle()));
    EmptyClipboard();
    const size_t size = std::strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), text, size);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    EXPECT_TRUE(WaitFor([&] { return changes > before; })) << "no clipboard notification for " << text;
    WaitForInputHandled();
}

class WidgetsServicesTest : public ::testing::Test {
protected:
    void SetUp() override { TApplicationHook::Free(); }
    void TearDown() override { TApplicationHook::Free(); }
};

TEST_F(WidgetsServicesTest, ClipboardHandlersAreKeptOnceAndJoinTheViewerChain) {
    TClipboardListener a;
    EXPECT_EQ(TApplicationHook::Instance(), nullptr);
    EXPECT_TRUE(AddClipboardHandler(&a, ClipboardMethod<&TClipboardListener::Changed>));
    EXPECT_FALSE(AddClipboardHandler(&a, ClipboardMethod<&TClipboardListener::Changed>));
    EXPECT_TRUE(AddClipboardHandler(&a, ClipboardMethod<&TClipboardListener::AlsoChanged>));
    ASSERT_NE(TApplicationHook::Instance(), nullptr);
    EXPECT_TRUE(TApplicationHook::Instance()->InViewerChain());
    EXPECT_EQ(TApplicationHook::Instance()->Lists().ClipboardHandlerCount(), 2);
    // Joining the chain already brought one notification.
    EXPECT_TRUE(WaitFor([&] { return a.changes >= 1; }));
    WaitForInputHandled();
    const int before = a.changes, otherBefore = a.otherChanges;
    EXPECT_GE(before, 1);
    ChangeClipboard("eins", a.changes);
    EXPECT_EQ(a.changes, before + 1);
    EXPECT_EQ(a.otherChanges, otherBefore + 1);
    EXPECT_TRUE(RemoveClipboardHandler(&a, ClipboardMethod<&TClipboardListener::AlsoChanged>));
    ChangeClipboard("zwei", a.changes);
    EXPECT_EQ(a.changes, before + 2);
    EXPECT_EQ(a.otherChanges, otherBefore + 1);
}

TEST_F(WidgetsServicesTest, DeadClipboardHandlersGoOnTheNextChange) {
    auto gone = std::make_unique<TClipboardListener>();
    TClipboardListener stays;
    AddClipboardHandler(gone.get(), ClipboardMethod<&TClipboardListener::Changed>);
    AddClipboardHandler(&stays, ClipboardMethod<&TClipboardListener::Changed>);
    gone.reset();
    THookLists& lists = TApplicationHook::Instance()->Lists();
    EXPECT_EQ(lists.ClipboardHandlerCount(), 2);
    const int before = stays.changes;
    SendMessageW(Application->Handle(), WM_DRAWCLIPBOARD, 0, 0);
    EXPECT_EQ(stays.changes, before + 1);
    EXPECT_EQ(lists.ClipboardHandlerCount(), 1);
}

TEST_F(WidgetsServicesTest, ViewerChainFollowsChainChanges) {
    TClipboardListener a;
    AddClipboardHandler(&a, ClipboardMethod<&TClipboardListener::Changed>);
    TApplicationHook* hook = TApplicationHook::Instance();
    const HWND other = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    // The next window leaves: the one after it becomes our next.
    SendMessageW(Application->Handle(), WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(hook->NextViewer()),
                 reinterpret_cast<LPARAM>(other));
    EXPECT_EQ(hook->NextViewer(), other);
    // Another window leaving is passed on and changes nothing here.
    SendMessageW(Application->Handle(), WM_CHANGECBCHAIN, 12345, 0);
    EXPECT_EQ(hook->NextViewer(), other);
    TApplicationHook::Free();
    DestroyWindow(other);
}

TEST_F(WidgetsServicesTest, MessageAndShortCutHandlers) {
    TClipboardListener a;
    const UINT msg = WM_APP + 77;
    EXPECT_TRUE(AddMessageHandler(msg, &a, MessageMethod<&TClipboardListener::Message>));
    EXPECT_FALSE(AddMessageHandler(msg, &a, MessageMethod<&TClipboardListener::Message>));
    EXPECT_EQ(SendMessageW(Application->Handle(), msg, 0, 0), 4711);
    EXPECT_EQ(a.messages, 1);
    EXPECT_TRUE(RemoveMessageHandler(msg, &a, MessageMethod<&TClipboardListener::Message>));
    SendMessageW(Application->Handle(), msg, 0, 0);
    EXPECT_EQ(a.messages, 1);

    const TShiftState ctrl{ssCtrl};
    EXPECT_TRUE(AddShortCutHandler('K', ctrl, &a, ShortCutMethod<&TClipboardListener::ShortCut>, 99));
    EXPECT_EQ(SendMessageW(Application->Handle(), UM_SHORTCUT, 'K', ctrl.Bits()), 1);
    EXPECT_EQ(a.lastData, 99);
    EXPECT_EQ(SendMessageW(Application->Handle(), UM_SHORTCUT, 'K', 0), 0);
    EXPECT_EQ(SendMessageW(Application->Handle(), UM_SHORTCUT, 'L', ctrl.Bits()), 0);
}

TEST_F(WidgetsServicesTest, BusyCursorNests) {
    const TCursor start = Screen->Cursor();
    EndBusy();
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_EQ(Screen->Cursor(), start);
    BeginBusy();
    BeginBusy();
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    EndBusy();
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    EndBusy();
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_EQ(BusyCount(), 0);
    EndBusy();
    EXPECT_EQ(BusyCount(), 0);
}

TEST_F(WidgetsServicesTest, InputHeldIgnoresShiftCtrlAndAlt) {
    BYTE saved[256];
    ASSERT_TRUE(GetKeyboardState(saved));
    BYTE keys[256] = {};
    ASSERT_TRUE(SetKeyboardState(keys));
    EXPECT_FALSE(IsInputHeld());
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LSHIFT, VK_RCONTROL}) keys[key] = 0x80;
    SetKeyboardState(keys);
    EXPECT_FALSE(IsInputHeld());
    keys['A'] = 0x80;
    SetKeyboardState(keys);
    EXPECT_TRUE(IsInputHeld());
    SetKeyboardState(saved);
}

// A window that records the mouse messages the tracking list forwards to it.
class TTracker : public TWinControl {
public:
    explicit TTracker(std::vector<std::string>* log, const char* name) : TWinControl(nullptr), log_(log), name_(name) {}
    void WndProc(TMessage& msg) override {
        if (IsTrackedMouseMessage(this, msg.Msg)) {
            log_->push_back(name_);
            lastMsg = msg.Msg;
            lastUnder = reinterpret_cast<HWND>(msg.WParam);
            lastButton = TrackedMouseButton(msg.Msg);
            return;
        }
        TWinControl::WndProc(msg);
    }
    UINT lastMsg = 0;
    HWND lastUnder = nullptr;
    int lastButton = -1;

private:
    std::vector<std::string>* log_;
    const char* name_;
};

void MoveMouseTo(int x, int y) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

void Click(int x, int y, DWORD down, DWORD up) {
    MoveMouseTo(x, y);
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = down;
    input[1].mi.dwFlags = up;
    SendInput(2, input, sizeof(INPUT));
}

TEST_F(WidgetsServicesTest, TrackingListForwardsMouseMessagesLastToFirst) {
    std::vector<std::string> log;
    TForm* form = NewForm<TForm>(Application);
    form->SetBounds(100, 100, 300, 200);
    form->Show();
    WaitForInputHandled();
    TTracker first(&log, "first"), second(&log, "second");
    AddTrackingControl(&first);
    AddTrackingControl(&second);
    AddTrackingControl(&first);
    EXPECT_TRUE(MouseHookInstalled());
    EXPECT_EQ(TrackingList().Count(), 2);

    RECT client;
    GetClientRect(form->Handle(), &client);
    POINT inside{client.right / 2, client.bottom / 2};
    ClientToScreen(form->Handle(), &inside);
    Click(inside.x, inside.y, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitFor([&] { return log.size() >= 2; }));
    WaitForInputHandled();
    EXPECT_EQ(log[0], "second");
    EXPECT_EQ(log[1], "first");
    EXPECT_EQ(first.lastUnder, form->Handle());
    EXPECT_EQ(first.lastMsg, static_cast<UINT>(WM_LBUTTONUP));
    // Outside the forwarding the same message is an ordinary one.
    EXPECT_FALSE(IsTrackedMouseMessage(&first, WM_LBUTTONDOWN));
    EXPECT_EQ(TrackedMouseButton(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(TrackedMouseButton(WM_RBUTTONDBLCLK), 2);
    EXPECT_EQ(TrackedMouseButton(WM_MBUTTONDOWN), 4);
    EXPECT_EQ(TrackedMouseButton(WM_MOUSEMOVE), 0);

    RemoveTrackingControl(&second);
    log.clear();
    MoveMouseTo(inside.x + 5, inside.y + 5);
    ASSERT_TRUE(WaitFor([&] { return !log.empty(); }));
    WaitForInputHandled();
    for (const auto& entry : log) EXPECT_EQ(entry, "first");
    RemoveTrackingControl(&first);
    delete form;
}

TEST_F(WidgetsServicesTest, RightButtonDragsSwapTheButtonsUntilButtonUp) {
    ASSERT_EQ(GetSystemMetrics(SM_SWAPBUTTON), 0);
    INPUT down{};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    SendInput(1, &down, sizeof(down));
    WaitForInputHandled();
    auto* drag = new TDataDragObject(nullptr, nullptr);
    EXPECT_EQ(CurrentDataDragObject(), drag);
    EXPECT_TRUE(drag->ButtonsSwapped());
    EXPECT_NE(GetSystemMetrics(SM_SWAPBUTTON), 0);
    MSG up{};
    up.message = WM_LBUTTONUP;
    drag->DragMessage(up);
    EXPECT_FALSE(drag->ButtonsSwapped());
    EXPECT_EQ(GetSystemMetrics(SM_SWAPBUTTON), 0);
    INPUT release{};
    release.type = INPUT_MOUSE;
    release.mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(1, &release, sizeof(release));
    WaitForInputHandled();
    // A new drag object replaces (and frees) the current one.
    auto* next = new TDataDragObject(nullptr, nullptr);
    EXPECT_EQ(CurrentDataDragObject(), next);
    EXPECT_FALSE(next->ButtonsSwapped());
    delete next;
    EXPECT_EQ(CurrentDataDragObject(), nullptr);
}

TEST_F(WidgetsServicesTest, CopyMenuItemsCopiesTheWholeTree) {
    TComponent owner;
    TMenuItem source(&owner);
    auto* file = new TMenuItem(&owner);
    file->SetName("FileItem");
    file->SetCaption("&Datei");
    file->SetHint("Datei|Dateibefehle");
    file->SetTag(5);
    file->SetGroupIndex(2);
    file->SetHelpContext(17);
    source.Add(file);
    auto* open = new TMenuItem(&owner);
    open->SetName("OpenItem");
    open->SetCaption("&\xD6" "ffnen");
    open->SetShortCut(ShortCut('O', {ssCtrl}));
    open->SetChecked(true);
    open->SetEnabled(false);
    int clicks = 0;
    open->OnClick = [&](TMenuItem&) { ++clicks; };
    file->Add(open);

    TMenuItem dest(&owner);
    CopyMenuItems(source, dest);
    ASSERT_EQ(dest.Count(), 1);
    TMenuItem* copy = dest.Items(0);
    EXPECT_NE(copy, file);
    EXPECT_EQ(copy->Name(), "FileItem");
    EXPECT_EQ(copy->Caption(), "&Datei");
    EXPECT_EQ(copy->Hint(), "Datei|Dateibefehle");
    EXPECT_EQ(copy->Tag(), 5);
    EXPECT_EQ(copy->GroupIndex(), 2);
    EXPECT_EQ(copy->HelpContext(), 17);
    ASSERT_EQ(copy->Count(), 1);
    TMenuItem* openCopy = copy->Items(0);
    EXPECT_EQ(openCopy->Caption(), "&\xD6" "ffnen");
    EXPECT_EQ(openCopy->ShortCut(), ShortCut('O', {ssCtrl}));
    EXPECT_TRUE(openCopy->Checked());
    EXPECT_FALSE(openCopy->Enabled());
    ASSERT_TRUE(openCopy->OnClick);
    openCopy->OnClick(*openCopy);
    EXPECT_EQ(clicks, 1);
    // Copying a menu into itself appends one copy of what it had.
    CopyMenuItems(dest, dest);
    EXPECT_EQ(dest.Count(), 2);
}

}  // namespace

#include "widgets/app_services.h"

#include "base/format.h"

int TBusyCounter::Begin() {
    ++count_;
    return BusyCursorHourGlass;
}

bool TBusyCounter::End(int& cursor) {
    if (count_ <= 0) return false;
    --count_;
    cursor = count_ == 0 ? BusyCursorDefault : BusyCursorHourGlass;
    return true;
}

bool IsInputHeldIn(bool leftButton, bool rightButton, const std::array<uint8_t, 256>& keyState) {
    if (leftButton || rightButton) return true;
    for (int key = 0; key < 256; ++key) {
        if (key == 16 || key == 17 || key == 18 || (key >= 0xA0 && key <= 0xA5)) continue;
        if (keyState[key] & 0x80) return true;
    }
    return false;
}

namespace {
bool showShortCuts = true;
bool messageBeep = true;
}  // namespace

bool ShowShortCutsInHints() { return showShortCuts; }
void SetShowShortCutsInHints(bool show) { showShortCuts = show; }
bool MessageBeepOn() { return messageBeep; }
void SetMessageBeepOn(bool beep) { messageBeep = beep; }

std::string HintWithShortCut(const std::string& hint, const std::string& shortCutText) {
    if (!showShortCuts || shortCutText.empty()) return hint;
    return Format("%s (%s)", {hint, shortCutText});
}

TComponent* ForEachComponent(TComponent* root, const std::function<bool(TComponent*)>& test) {
    if (!root) return nullptr;
    for (int i = 0; i < root->ComponentCount(); ++i) {
        TComponent* component = root->Components(i);
        if (test(component)) return component;
        if (TComponent* found = ForEachComponent(component, test)) return found;
    }
    return nullptr;
}

// Screenshots of windows under test. The script that runs the tests under Wine names a folder
// in VARNOLET_SCREENSHOT_DIR and watches it: a file NAME.request holding a screen rectangle
// makes it grab the X screen, crop it to that rectangle and write NAME.png beside it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Lets Window paint, asks for the screenshot NAME.png of it and waits for it while pumping
// messages. False with Error set when it failed; true with Error empty when done, and true with
// Error set when no screenshot folder was given (a run outside the script).
bool TakeScreenshot(HWND window, const std::string& name, std::string& error);

// Runs Action once, about Delay ms from now, from whatever message loop runs then: the way a
// test acts inside a modal loop or an open menu that the call after it starts. With Ready, the
// action waits (polling) until Ready holds, so that keys go to the window or menu they are
// meant for even on a slow machine; after 10 s it runs anyway. One action is pending at a time;
// a second call replaces it.
void Later(std::function<void()> action, UINT delay = 150, std::function<bool()> ready = {});

// True while this thread has a menu open (a menu bar or popup menu loop).
bool InMenuMode();

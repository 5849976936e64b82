// Text at the border to Windows: the program's code page 1252 strings as the UTF-16 that the
// W functions of Windows take, and back.
#pragma once

#include <windows.h>

#include <string>

std::wstring WideText(const std::string& text);
std::string NarrowText(const wchar_t* text, int length = -1);
std::string NarrowText(const std::wstring& text);
// The text of a window (GetWindowTextW) in code page 1252.
std::string WindowText(HWND window);
void SetWindowTextCp1252(HWND window, const std::string& text);

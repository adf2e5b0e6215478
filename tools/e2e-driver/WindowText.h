// Reading another process's windows: with a time limit, so a bridge that hangs cannot hang
// the driver.
#pragma once
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace e2e {

std::string ClassOf(HWND window);
// The window's text in the ANSI code page, as the bridge wrote it; "" when it cannot be read.
// Only an edit box is asked (its text is its own); a caption, a button's or a static's text
// is read without a message, so a bridge busy in a wait does not hold the driver up.
std::string TextOf(HWND window);
// SendMessageTimeout for a message without pointers; false when the window did not answer.
bool Ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

}  // namespace e2e

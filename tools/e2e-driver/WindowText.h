// Reading another process's windows: with a time limit, so a bridge that hangs cannot hang
// the driver.
#pragma once
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace e2e {

std::string ClassOf(HWND window);
// UTF-16 as UTF-8, the transcript's encoding (the bridge keeps its texts in UTF-8 and
// hands them to Windows as UTF-16).
std::string Utf8(const wchar_t* text, int length);
// The window's text; "" when it cannot be read. Only an edit box is asked (its text is its
// own); a caption, a button's or a static's text is read without a message, so a bridge
// busy in a wait does not hold the driver up.
std::string TextOf(HWND window);
// The control with this id anywhere inside the window (the settings page sits inside the
// options sheet); null when there is none.
HWND Descendant(HWND window, int id);
// SendMessageTimeout for a message without pointers; false when the window did not answer.
bool Ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

}  // namespace e2e

// The two kinds of text the bridge hands to Windows, turned into UTF-16 for the W calls.
#pragma once
#include <string>

#include "platform/win32/Win32Api.h"

namespace win32 {

// The program's own texts: the string table as loaded by Win32Resources and the constants
// of the code, both UTF-8. Going through the ANSI code page would lose every character it
// cannot hold (the Chinese texts on an English system).
std::wstring FromUtf8(const std::string& text);
std::string ToUtf8(const wchar_t* text, int length);

// Texts of the client and the base: single bytes in the PC's ANSI code page.
std::wstring FromAnsi(const std::string& text);

}  // namespace win32

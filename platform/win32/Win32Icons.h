// The executable's icons at the size the system asks for on the display a window is on.
#pragma once
#include "platform/win32/Win32Api.h"

namespace win32 {

enum class IconSize { Small, Large };

// Pixels of a small or large icon for the window's display; the system's size for no window
// or where Windows knows only one display scale (before Windows 10 1607).
int IconPixels(HWND window, IconSize size);

// The icon resource drawn at that size (its own image of the size, or the nearest one
// scaled). Kept for the life of the process: the same icon is asked for again and again.
HICON LoadIconAt(HINSTANCE instance, int iconId, int pixels);

}  // namespace win32

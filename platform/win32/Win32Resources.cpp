#include "platform/win32/Win32Resources.h"

#include "platform/win32/Win32Text.h"

namespace win32 {

std::string Win32Resources::LoadString(int id) {
    // The table holds UTF-16; a zero buffer length hands out a pointer to the text itself.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance_, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? ToUtf8(text, length) : std::string();
}

}  // namespace win32

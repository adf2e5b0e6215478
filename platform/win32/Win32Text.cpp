#include "platform/win32/Win32Text.h"

namespace win32 {

namespace {

std::wstring Widen(UINT codePage, const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], length);
    return wide;
}

}  // namespace

std::wstring FromUtf8(const std::string& text) { return Widen(CP_UTF8, text); }

std::wstring FromAnsi(const std::string& text) { return Widen(CP_ACP, text); }

std::string ToUtf8(const wchar_t* text, int length) {
    if (!text || length <= 0) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, &narrow[0], size, nullptr, nullptr);
    return narrow;
}

}  // namespace win32

#include "platform/win32/Win32Resources.h"

namespace win32 {

std::string Win32Resources::LoadString(int id) {
    char buffer[1024];
    const int length = LoadStringA(instance_, static_cast<UINT>(id), buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace win32

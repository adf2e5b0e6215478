#include <cstdio>
#include <share.h>

#include "platform/win32/Win32Files.h"

namespace win32 {

namespace {
std::FILE* ToFile(plat::Handle file) { return reinterpret_cast<std::FILE*>(file); }
}  // namespace

plat::Handle Win32Files::Create(const std::string& name) {
    // Created or truncated, shared with nobody, text mode.
    std::FILE* file = _fsopen(name.c_str(), "w", _SH_DENYRW);
    return reinterpret_cast<plat::Handle>(file);
}

void Win32Files::WriteLine(plat::Handle file, const std::string& text) {
    if (file == plat::kNullHandle) return;
    std::fwrite(text.data(), 1, text.size(), ToFile(file));
    std::fputc('\n', ToFile(file));
}

void Win32Files::Close(plat::Handle file) {
    if (file != plat::kNullHandle) std::fclose(ToFile(file));
}

}  // namespace win32

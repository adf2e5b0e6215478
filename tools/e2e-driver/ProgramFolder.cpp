#include "tools/e2e-driver/ProgramFolder.h"

#include <windows.h>

namespace e2e {

std::string BesideThisProgram(const char* name) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length < sizeof path ? length : 0);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder + name;
}

}  // namespace e2e

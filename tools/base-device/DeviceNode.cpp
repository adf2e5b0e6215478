#include "tools/base-device/DeviceNode.h"

#include <windows.h>
#include <setupapi.h>
#include <newdev.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "tools/base-device/BaseWire.h"

namespace basedev {

namespace {

// The System class, as root-enumerated devices without a bus of their own use.
const GUID kSystemClass = {0x4d36e97d, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

std::string Why(const char* what) { return std::string(what) + " failed (error " + std::to_string(GetLastError()) + ")"; }

bool IsBase(HDEVINFO set, SP_DEVINFO_DATA& device) {
    char ids[512] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, &type, reinterpret_cast<BYTE*>(ids),
                                           sizeof ids - 2, nullptr))
        return false;
    for (const char* id = ids; *id; id += std::strlen(id) + 1)
        if (_stricmp(id, BASE_HARDWARE_ID) == 0) return true;
    return false;
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

template <typename Visit>
int ForEachBase(Visit visit) {
    HDEVINFO set = SetupDiGetClassDevsA(&kSystemClass, nullptr, nullptr, 0);
    if (set == INVALID_HANDLE_VALUE) return 0;
    int found = 0;
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA device;
        ZeroMemory(&device, sizeof device);
        device.cbSize = sizeof device;
        if (!SetupDiEnumDeviceInfo(set, index, &device)) break;
        if (!IsBase(set, device)) continue;
        ++found;
        visit(set, device);
    }
    SetupDiDestroyDeviceInfoList(set);
    return found;
}

}  // namespace

bool Plug(const std::string& infPath, std::string& error) {
    HDEVINFO set = SetupDiCreateDeviceInfoList(&kSystemClass, nullptr);
    if (set == INVALID_HANDLE_VALUE) {
        error = Why("SetupDiCreateDeviceInfoList");
        return false;
    }
    SP_DEVINFO_DATA device;
    ZeroMemory(&device, sizeof device);
    device.cbSize = sizeof device;
    static const char kIds[] = BASE_HARDWARE_ID "\0";  // a list: one id, then an empty one
    bool ok = SetupDiCreateDeviceInfoA(set, "System", &kSystemClass, nullptr, nullptr, DICD_GENERATE_ID, &device);
    if (!ok) error = Why("SetupDiCreateDeviceInfoA");
    if (ok && !SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, reinterpret_cast<const BYTE*>(kIds),
                                                 sizeof kIds)) {
        error = Why("SetupDiSetDeviceRegistryPropertyA");
        ok = false;
    }
    if (ok && !SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &device)) {
        error = Why("DIF_REGISTERDEVICE");
        ok = false;
    }
    SetupDiDestroyDeviceInfoList(set);
    if (!ok) return false;
    char full[MAX_PATH];
    char* name = nullptr;
    if (!GetFullPathNameA(infPath.c_str(), sizeof full, full, &name) || !name) {
        error = Why("GetFullPathNameA");
        return false;
    }
    // The build's driver replaces whatever an earlier build left in the system folder (the
    // INF's copy keeps a file that is there already); a loaded one cannot be replaced.
    const std::string driver = std::string(full, name) + BASE_DRIVER_FILE;
    char system[MAX_PATH];
    const UINT length = GetSystemDirectoryA(system, sizeof system);
    const std::string installed = std::string(system, length < sizeof system ? length : 0) + "\\drivers\\" BASE_DRIVER_FILE;
    if (Contents(driver) != Contents(installed) && !CopyFileA(driver.c_str(), installed.c_str(), FALSE)) {
        error = Why(("replacing " + installed + " (is an older build's driver still loaded?)").c_str());
        return false;
    }
    BOOL reboot = FALSE;
    if (!UpdateDriverForPlugAndPlayDevicesA(nullptr, BASE_HARDWARE_ID, full, INSTALLFLAG_FORCE, &reboot)) {
        error = Why("UpdateDriverForPlugAndPlayDevicesA");
        return false;
    }
    return true;
}

bool Unplug(std::string& error) {
    bool ok = true;
    ForEachBase([&](HDEVINFO set, SP_DEVINFO_DATA& device) {
        // The default removal is global, for every hardware profile.
        if (!SetupDiCallClassInstaller(DIF_REMOVE, set, &device)) {
            error = Why("DIF_REMOVE");
            ok = false;
        }
    });
    return ok;
}

int Count() {
    return ForEachBase([](HDEVINFO, SP_DEVINFO_DATA&) {});
}

}  // namespace basedev

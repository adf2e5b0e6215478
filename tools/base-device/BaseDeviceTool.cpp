// base-device.exe: puts the virtual base station into a Wine prefix and takes it out, and
// lists the HID devices that SetupAPI and HID.DLL show and the wave-out devices, for the
// tests' set-up and checks.
//   base-device plug INF | unplug | list
// Exit status 0 on success, 1 when Windows refused (with why on standard error), 2 on a
// usage error.
#include <windows.h>
#include <mmsystem.h>
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/base-device/DeviceNode.h"

namespace {

// Every HID interface with its vendor, product and path, one a line, then the wave-out devices.
int List() {
    GUID hid;
    HidD_GetHidGuid(&hid);
    HDEVINFO set = SetupDiGetClassDevsA(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return 1;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA data;
        ZeroMemory(&data, sizeof data);
        data.cbSize = sizeof data;
        if (!SetupDiEnumDeviceInterfaces(set, nullptr, &hid, index, &data)) break;
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &size, nullptr);
        std::vector<DWORD> block(size / sizeof(DWORD) + 2, 0);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(block.data());
        detail->cbSize = sizeof *detail;
        if (!SetupDiGetDeviceInterfaceDetailA(set, &data, detail, size, nullptr, nullptr)) continue;
        HANDLE device = CreateFileA(detail->DevicePath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr);
        HIDD_ATTRIBUTES attributes;
        ZeroMemory(&attributes, sizeof attributes);
        attributes.Size = sizeof attributes;
        wchar_t product[128] = L"";
        if (device != INVALID_HANDLE_VALUE) {
            HidD_GetAttributes(device, &attributes);
            HidD_GetProductString(device, product, sizeof product);
            CloseHandle(device);
        }
        std::printf("hid %04X:%04X \"%ls\" %s\n", attributes.VendorID, attributes.ProductID, product,
                    detail->DevicePath);
    }
    SetupDiDestroyDeviceInfoList(set);
    std::printf("base nodes %d\n", basedev::Count());
    const UINT waves = waveOutGetNumDevs();
    for (UINT index = 0; index < waves; ++index) {
        WAVEOUTCAPSA caps;
        ZeroMemory(&caps, sizeof caps);
        if (waveOutGetDevCapsA(index, &caps, sizeof caps) == MMSYSERR_NOERROR) std::printf("wave \"%s\"\n", caps.szPname);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // plain line feeds, as the scripts read them
    const std::string verb = argc > 1 ? argv[1] : "";
    std::string error;
    if (verb == "plug" && argc == 3) {
        if (basedev::Plug(argv[2], error)) return 0;
    } else if (verb == "unplug" && argc == 2) {
        if (basedev::Unplug(error)) return 0;
    } else if (verb == "list" && argc == 2) {
        return List();
    } else {
        std::fprintf(stderr, "usage: base-device plug INF | unplug | list\n");
        return 2;
    }
    std::fprintf(stderr, "base-device %s: %s\n", verb.c_str(), error.c_str());
    return 1;
}

#include "platform/win32/Win32WaveOut.h"
#include "platform/win32/Win32Api.h"

namespace win32 {

unsigned Win32WaveOut::DeviceCount() { return waveOutGetNumDevs(); }

bool Win32WaveOut::ProductName(unsigned index, std::string& name) {
    WAVEOUTCAPSA caps;
    ZeroMemory(&caps, sizeof caps);
    if (waveOutGetDevCapsA(index, &caps, sizeof caps) != MMSYSERR_NOERROR) return false;
    caps.szPname[sizeof caps.szPname - 1] = '\0';
    name = caps.szPname;
    return true;
}

}  // namespace win32

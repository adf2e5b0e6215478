// The user session: which of several logged-in users' bridges talks to the base.
#include "app/BridgeDlg.h"
#include "app/ShellConstants.h"
#include "platform/Platform.h"

void CBridgeDlg::WatchSession() {
    m_bSessionWatched = plat::session().Watch(Handle()) ? 1 : 0;
    m_nSessionWatchTicks = 0;
}

void CBridgeDlg::KeepWatchingSession() {
    if (m_bSessionWatched || m_bExited) return;
    if (++m_nSessionWatchTicks < kSessionWatchRetryEvery) return;
    WatchSession();
    // A change missed meanwhile is read from the system instead.
    if (m_bSessionWatched && plat::session().AtConsole() != (m_bAtConsole == 1)) {
        if (m_bAtConsole)
            OnSessionAway();
        else
            OnSessionBack();
    }
}

void CBridgeDlg::OnSessionChange(unsigned change) {
    switch (change) {
        case kSessionConsoleConnect:
            OnSessionBack();
            break;
        case kSessionConsoleDisconnect:
        case kSessionRemoteConnect:
        case kSessionRemoteDisconnect:
            OnSessionAway();
            break;
        default:
            break;  // locked or not, the user is still at the machine
    }
}

void CBridgeDlg::OnSessionAway() {
    if (!m_bAtConsole) return;
    m_bAtConsole = 0;
    // Reading stops now, so the base's reports reach only the bridge at the console. The
    // device link then sees an absent base, as after an unplug: "USB Disconnected" once its
    // checks agree, and nothing ended at the client that no handset holds.
    m_usb.CloseDevice();
    m_bDevicePresent = 0;
}

void CBridgeDlg::OnSessionBack() { m_bAtConsole = 1; }

// Finding the base station's sound device, starting the device thread and polling it.
#include "app/BridgeDlg.h"
#include "app/LinkWork.h"
#include "app/ShellConstants.h"
#include "device/Thread.h"
#include "platform/Platform.h"

void CBridgeDlg::PollDevice() {
    // A tick that finds the link at work is skipped, so a poll never runs inside another.
    // It cannot happen while every box and menu waits for rest; this is the backstop.
    if (!m_pThread || LinkWork::Busy(*this)) return;
    LinkWork work(*this);
    m_pThread->Poll();
}

// The end of every poll, whenever its report came.
void CBridgeDlg::OnPollFinished() {
    if (m_bOnlinePending == 1 && m_bClientAttached == 1) {
        SetUserStatusOnline();
        m_bOnlinePending = 0;
    }
}

void CBridgeDlg::CheckForDevice() {
    if (++m_nDeviceCheckTicks < kDeviceCheckEvery) return;
    m_nDeviceCheckTicks = 0;
    if (FindAudioDevice() == 1) {
        LogClientLine(kFindUsbLine);
        StartDeviceThread();
        // A thread that could not be created keeps the link waiting; the next check retries.
        if (!m_pThread) return;
        m_nLinkState = Discovering;
    }
}

void CBridgeDlg::StartDeviceThread() {
    if (m_pThread) return;
    CThread* thread = new CThread();
    if (!thread->CreateThreadSuspended()) {
        delete thread;
        return;
    }
    m_pThread = thread;
    m_pThread->AttachTo(this);
    m_pThread->Reset();
    m_pThread->ResumeThread();
}

void CBridgeDlg::DetectWindowsVersion() {
    const plat::OsVersion version = plat::system().Version();
    // Windows 8 and later tell a program that does not declare them 6.2, and one that does
    // (the manifest declares up to 10) their own number: 6.3, or 10.0 whose minor 0 would
    // pass for Vista. Each keeps the code it had before the declaration.
    const bool windows8OrLater = version.major > kWindows8Major ||
                                 (version.major == kWindows8Major && version.minor >= kWindows8Minor);
    const unsigned minor = version.minor;
    const bool kept = !windows8OrLater && (minor == 0 || minor == 1 || minor == 10);
    m_nOsVersion = kept ? static_cast<int>(minor) : kOsVersionOther;
}

int CBridgeDlg::FindAudioDevice() {
    // These systems select no audio device, so there is nothing to wait for.
    if (m_nOsVersion == 0) return 1;
    plat::WaveOut& waveOut = plat::waveOut();
    const unsigned count = waveOut.DeviceCount();
    for (unsigned index = 0; index < count; ++index) {
        std::string name;
        if (waveOut.ProductName(index, name) && name.rfind(kAudioDevicePrefix, 0) == 0) {
            m_strAudioDevice = name;
            return 1;
        }
    }
    return 0;
}

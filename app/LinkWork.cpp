// The device link's work on the UI thread, outside the 100 ms poll: a report of the base
// handled the moment it arrives, the handsets told a notification's news without waiting
// for the poll, and the message boxes and menus that wait until no work of the link runs.
#include "app/LinkWork.h"

#include "device/Thread.h"
#include "platform/Platform.h"

namespace {
// The tick that ends a poll's wait comes once the wait is over, not a moment before it.
constexpr unsigned kTickSlackMs = 2;
}  // namespace

void CBridgeDlg::AtRest(std::function<void()> action) {
    m_atRest.push_back(std::move(action));
    RunAtRest();
}

void CBridgeDlg::RunAtRest() {
    if (LinkWork::Busy(*this) || m_atRest.empty()) return;
    // What waits now is taken as one batch: a box's loop may run polls that queue boxes of
    // their own, and those must not take the rest of this batch with them.
    std::deque<std::function<void()>> batch;
    batch.swap(m_atRest);
    while (!batch.empty()) {
        std::function<void()> next = std::move(batch.front());
        batch.pop_front();
        // Nothing opens after Exit: the dialog is on its way out.
        if (!m_bExited) next();
    }
}

void CBridgeDlg::ContinueLinkWork(std::function<void()> rest) {
    if (m_atRest.empty()) {
        rest();
        return;
    }
    m_atRest.push_back([this, rest = std::move(rest)] {
        LinkWork work(*this);
        rest();
    });
}

void CBridgeDlg::MessageBox(const std::string& text) {
    AtRest([this, text] { plat::Dialog::MessageBox(text); });
}

bool CBridgeDlg::OnLinkMessage(unsigned message) {
    if (message != WM_BASE_REPORT) return false;
    OnBaseReport();
    return true;
}

// The main loop saw the read's event: the report is handled now instead of at the next
// poll. A poll already at work (this arrived inside it) takes the report itself.
void CBridgeDlg::OnBaseReport() {
    if (!m_pThread || LinkWork::Busy(*this)) return;
    LinkWork work(*this);
    m_pThread->OnReport();
}

void CBridgeDlg::WaitForBaseReport(unsigned ms) {
    // A handset update due in a moment keeps the timers awake.
    if (!m_bHandsetTimerArmed) plat::windows().DeferTimers(Handle(), ms + kTickSlackMs);
}

void CBridgeDlg::EndBaseReportWait() { plat::windows().DeferTimers(Handle(), 0); }

// A short one-shot timer, not the next poll (up to 100 ms away): the ringing alert goes out
// as soon as the client has named the caller. Not at once either: a client says a few
// things in a row, and the handsets take them in one update.
void CBridgeDlg::RequestHandsetUpdate() {
    if (m_bHandsetTimerArmed || !m_pThread) return;
    m_bHandsetTimerArmed = 1;
    EndBaseReportWait();
    SetTimer(TIMER_HANDSETS, kHandsetNewsMs);
}

void CBridgeDlg::OnHandsetUpdate() {
    KillTimer(TIMER_HANDSETS);
    m_bHandsetTimerArmed = 0;
    // Only while a poll would update them too: the base there, its link started.
    if (!m_pThread || LinkWork::Busy(*this) || !m_bDevicePresent || m_nStatus == STATUS_BASE_ABSENT) return;
    LinkWork work(*this);
    m_pThread->UpdateHandset();
}

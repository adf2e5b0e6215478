#include "tests/fuzz/FuzzBridge.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/BridgeDlg.h"
#include "device/Packet.h"
#include "device/Thread.h"
#include "tools/world/HeadlessPlatform.h"
#include "res/resource.h"
#include "tools/sim/Checker.h"

// LeakSanitizer's, when the program has it: a bridge's device thread outlives the bridge by
// design, so a rebuilt bridge's thread is not a leak of this input.
extern "C" void __lsan_ignore_object(const void* p) __attribute__((weak));

namespace fuzz {

namespace {

constexpr std::uint64_t kBootMs = 8000;
constexpr std::uint64_t kTickMs = 100;
constexpr std::uint64_t kAbsentMs = 5000;     // long enough for the poll to call the base gone
constexpr int kFindTicks = 40;                // at most this many ticks to see it back
constexpr std::uint64_t kTimeoutsMs = 2500;   // reply and loopback time-outs have fired
constexpr int kRelinkTicks = 80;              // the start-up test of a base plugged in again
constexpr int kAttachTicks = 30;              // discovery and attachment of the client
constexpr std::uint64_t kWatchdogMs = 125000; // a client that vanished is noticed by then
constexpr int kAttachAvailable = 32769;

}  // namespace

Bridge::Bridge() { Boot(); }

Bridge::~Bridge() { delete harness_; }

const std::vector<sim::Contact>& Bridge::Contacts() {
    static const std::vector<sim::Contact> contacts = {
        {"Alice", "ONLINE"}, {"bob", "ONLINE"}, {"carol", "OFFLINE"}, {"dave", "AWAY"}, {"Zed", "ONLINE"}};
    return contacts;
}

void Bridge::Boot() {
    CBridgeDlg* old = harness_ ? harness_->Bridge() : nullptr;
    if (old && old->m_pThread && __lsan_ignore_object) __lsan_ignore_object(old->m_pThread);
    delete harness_;
    sim::Options options;
    options.checkRules = true;
    harness_ = new sim::Harness(options);
    sim::Harness& h = *harness_;
    h.PlugBase();
    h.Client().SetContacts(Contacts());
    h.StartClient(sim::ClientKindSim::Skype);
    h.Start();  // no debug window: the log writers format nothing
    // BRIDGER_FUZZ_TRANSCRIPT keeps the transcript, to print it when a rule breaks.
    if (!std::getenv("BRIDGER_FUZZ_TRANSCRIPT")) h.Platform().recorder.Mute();
    h.DriveInline(true);
    h.Run(kBootMs);
    if (!Ready()) {
        std::fprintf(stderr, "fuzz: the bridge did not come up ready\n");
        std::abort();
    }
}

CBridgeDlg& Bridge::Dlg() { return *harness_->Bridge(); }

void Bridge::Run(std::uint64_t ms) { harness_->Run(ms); }

void Bridge::Report(const std::uint8_t* bytes, std::size_t size) {
    harness_->Base().SendRaw(std::vector<std::uint8_t>(bytes, bytes + size));
    Run(kTickMs);  // the base's reports come one per poll
}

void Bridge::Packet(std::uint8_t code, const std::vector<std::uint8_t>& body) {
    harness_->Base().SendPacket(code, body);
    Run(kTickMs);
}

void Bridge::Say(const std::string& text) { harness_->ClientSay(text); }

void Bridge::CopyData(const std::uint8_t* bytes, std::size_t size) {
    harness_->ClientSendRaw(std::vector<std::uint8_t>(bytes, bytes + size));
}

bool Bridge::Ready() {
    CBridgeDlg* dlg = harness_->Bridge();
    if (!dlg || !dlg->m_pThread) return false;
    const CThread& link = *dlg->m_pThread;
    return dlg->m_nStatus == STATUS_READY && dlg->m_bClientAttached && dlg->m_strCallId.empty() &&
           dlg->m_strHeldCallId.empty() && dlg->m_bSecondCall == 0 &&
           dlg->m_bLoopbackPending == 0 && dlg->m_bSettingChain == 0 && link.m_nCallState == CS_IDLE &&
           link.replyPending == 0 && link.m_nTestSent == CThread::kTestsInStartup + 1 &&
           !harness_->Base().HasInputReport();
}

void Bridge::Enter(Prefix prefix) {
    sim::Harness& h = *harness_;
    sim::SimBase& base = h.Base();
    const std::string id = std::to_string(++nextCall_);
    switch (prefix) {
        case Prefix::Ready:
        case Prefix::Count: break;
        case Prefix::BeforeLinkTest:
        case Prefix::DuringLinkTest:
            h.UnplugBase();
            Run(kAbsentMs);
            h.PlugBase();
            for (int i = 0; i < kFindTicks && Dlg().m_nStatus != STATUS_BASE_FOUND; ++i) Run(kTickMs);
            if (prefix == Prefix::DuringLinkTest) {
                base.SetEcho(false);  // the input answers the test, or does not
                Run(4 * kTickMs);
            }
            break;
        case Prefix::Ringing:
        case Prefix::InCall:
        case Prefix::SecondCall:
            Say("CALL " + id + " STATUS RINGING");
            Run(3 * kTickMs);
            if (prefix == Prefix::Ringing) break;
            base.Answer(1);
            Run(2 * kTickMs);
            if (prefix == Prefix::InCall) break;
            Say("CALL " + std::to_string(++nextCall_) + " STATUS RINGING");
            Run(3 * kTickMs);
            break;
        case Prefix::OffHook:
            base.FuncKey(1, '*');
            Run(kTickMs);
            base.Key(1, '0');
            Run(kTickMs);
            base.Key(1, '2');
            Run(kTickMs);
            break;
        case Prefix::LetterMenu:
            base.FuncKey(1, '*');
            Run(kTickMs);
            base.FuncKey(1, '#');
            Run(kTickMs);
            base.Key(1, '2');
            Run(kTickMs);
            break;
        case Prefix::CommandWaiting:
            base.SetReplies(false);
            Request(IDC_DELETE_ALL);
            break;
        case Prefix::LoopbackWaiting:
            base.SetEcho(false);
            Request(IDC_LOOPBACK);
            break;
    }
}

void Bridge::Request(int radio) {
    sim::Harness& h = *harness_;
    h.Command(ID_TRAY_OPTIONS);
    h.CheckRadio("options", radio);
    h.Click("options", IDC_EXECUTE);
}

void Bridge::Settle() {
    sim::Harness& h = *harness_;
    // A call lost, left open or taken for another is a finding, as a crash is.
    if (!h.Violations().empty()) {
        if (std::getenv("BRIDGER_FUZZ_TRANSCRIPT"))
            for (const sim::Line& line : h.Transcript()) std::fprintf(stderr, "%s\n", line.Format().c_str());
        for (const sim::Violation& v : h.Violations())
            std::fprintf(stderr, "fuzz: checker at %llu ms: %s\n", static_cast<unsigned long long>(v.time),
                         v.Format().c_str());
        std::abort();
    }
    h.Base().SetEcho(true);
    h.Base().SetReplies(true);
    h.Client().SetAuto(true);
    if (!h.BasePlugged()) h.PlugBase();
    if (!h.ClientRunning()) h.StartClient(sim::ClientKindSim::Skype);
    if (CBridgeDlg* dlg = h.Bridge()) {
        // Whatever the input left queued is read first, then every call is ended.
        for (int i = 0; i < 64 && h.Base().HasInputReport(); ++i) Run(kTickMs);
        if (dlg->m_pThread && dlg->m_pThread->m_nCallState != CS_IDLE) {
            const std::uint8_t handset = dlg->m_pThread->m_nHandset;
            h.Base().HangUp(handset);
            Run(kTickMs);
        }
        // The client is attached again (a client that came back unnoticed is found out by
        // the watchdog), then it ends what it still has.
        if (g_hClientWnd != 0 && g_hClientWnd != h.ClientWindow()) Run(kWatchdogMs);
        for (int i = 0; i < kAttachTicks && !dlg->m_bClientAttached; ++i) Run(kTickMs);
        if (!dlg->m_bClientAttached) {
            // The discover broadcast went out while it was away: a client that starts says
            // that its API is available.
            h.ClientAttach(kAttachAvailable);
            for (int i = 0; i < kAttachTicks && !dlg->m_bClientAttached; ++i) Run(kTickMs);
        }
        for (const std::string* id : {&dlg->m_strCallId, &dlg->m_strHeldCallId})
            if (!id->empty()) Say("CALL " + *id + " STATUS FINISHED");
        if (!dlg->m_strCallId.empty()) {
            // A call record the client's news did not close: the user lifts and hangs up.
            h.Base().FuncKey(1, '*');
            Run(kTickMs);
            h.Base().HangUp(1);
            Run(kTickMs);
        }
        Run(kTimeoutsMs);  // time-outs still running fall due
        if (dlg->m_nStatus != STATUS_READY || !dlg->m_pThread ||
            dlg->m_pThread->m_nTestSent != CThread::kTestsInStartup + 1) {
            // A failed link test or a lost base: the user would plug the base in again.
            h.UnplugBase();
            Run(kAbsentMs);
            h.PlugBase();
            for (int i = 0; i < kRelinkTicks && !Ready(); ++i) Run(kTickMs);
        }
    }
    h.Base().ForgetReceived();
    h.Client().ForgetCommands();
    if (Ready()) return;
    if (std::getenv("BRIDGER_FUZZ_VERBOSE")) {
        CBridgeDlg* dlg = h.Bridge();
        std::fprintf(stderr, "fuzz: rebuilding; status %d attached %d call '%s' held '%s' state %d reply %d test %d present %d misses %d reported %d ok %d flags %d%d%d%d%d link %d\n",
                     dlg ? dlg->m_nStatus : -1, dlg ? dlg->m_bClientAttached : -1,
                     dlg ? dlg->m_strCallId.c_str() : "", dlg ? dlg->m_strHeldCallId.c_str() : "",
                     dlg && dlg->m_pThread ? dlg->m_pThread->m_nCallState : -1,
                     dlg && dlg->m_pThread ? dlg->m_pThread->replyPending : -1,
                     dlg && dlg->m_pThread ? dlg->m_pThread->m_nTestSent : -1, dlg ? dlg->m_bDevicePresent : -1,
                     g_nMissCount, dlg && dlg->m_pThread ? dlg->m_pThread->m_bDisconnectReported : -1,
                     dlg && dlg->m_pThread ? dlg->m_pThread->m_nTestOk : -1, dlg ? dlg->m_bInCall : -1,
                     dlg ? dlg->m_bSecondCall : -1, dlg ? dlg->m_bLoopbackPending : -1,
                     dlg ? dlg->m_bSettingChain : -1, h.Base().HasInputReport(), dlg ? dlg->m_nLinkState : -1);
    }
    Boot();
}

Bridge& TheBridge() {
    static Bridge* bridge = new Bridge();  // lives as long as the process
    return *bridge;
}

std::vector<std::uint8_t> Reader::Bytes(std::size_t n) {
    const std::size_t count = std::min(n, Left());
    std::vector<std::uint8_t> out(data_ + pos_, data_ + pos_ + count);
    pos_ += count;
    return out;
}

}  // namespace fuzz

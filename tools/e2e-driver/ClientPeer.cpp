#include "tools/e2e-driver/ClientPeer.h"

namespace e2e {

namespace {

constexpr double kAttachSettleMs = 40;  // one look at the windows

int KindIndex(sim::ClientKindSim kind) {
    return kind == sim::ClientKindSim::Skype ? clientapi::kSkype : clientapi::kSoftPhone;
}

}  // namespace

ClientPeer::~ClientPeer() {
    if (api_) DestroyWindow(api_);
    if (observer_) DestroyWindow(observer_);
}

bool ClientPeer::Open(std::string& error) {
    if (!windows_.Open("BridgerE2eClient", *this, error)) return false;
    observer_ = windows_.Create("e2e observer");
    if (!observer_) {
        error = "cannot create the observer window";
        return false;
    }
    return true;
}

void ClientPeer::Start(sim::ClientKindSim kind) {
    if (running_ && sim_.Kind() == kind) return;
    if (api_) DestroyWindow(api_);
    sim_.SetKind(kind);
    // A client started again is a new process with a new window.
    api_ = windows_.Create("e2e client");
    running_ = api_ != nullptr;
}

void ClientPeer::Stop() {
    running_ = false;
    if (api_) DestroyWindow(api_);
    api_ = nullptr;
    outbox_.clear();
}

void ClientPeer::Attach(int status, HWND bridge) {
    if (bridge) bridge_ = bridge;
    if (!bridge_) return;
    attaches_.push_back(PendingAttach{status, recorder_.NowMs()});
    // From a client that is not running: a window that is gone by the time the bridge
    // looks at it, as the simulation's is.
    HWND from = api_ ? api_ : windows_.Create("e2e client");
    windows_.PostAttach(bridge_, KindIndex(sim_.Kind()), from, status);
    if (from != api_) DestroyWindow(from);
}

void ClientPeer::WriteAttaches(double nowMs) {
    for (const PendingAttach& a : attaches_) recorder_.AddBetween(a.postedMs, nowMs, "attach", std::to_string(a.status));
    attaches_.clear();
}

void ClientPeer::Settle(double nowMs) {
    // Posted before the previous look (one look interval at least): in the bridge's hands.
    if (!attaches_.empty() && nowMs - attaches_.back().postedMs >= kAttachSettleMs) WriteAttaches(nowMs);
}

void ClientPeer::Queue(std::vector<std::uint8_t> bytes, std::string shown) {
    outbox_.push_back(Outgoing{std::move(bytes), std::move(shown)});
}

void ClientPeer::Say(const std::string& text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    Queue(std::move(bytes), text);
}

void ClientPeer::SendRaw(const std::vector<std::uint8_t>& bytes) {
    std::string shown;
    for (std::uint8_t b : bytes) {
        if (b == 0) break;
        shown += static_cast<char>(b);
    }
    Queue(bytes, shown);
}

void ClientPeer::Flush() {
    while (!outbox_.empty()) {
        Outgoing next = std::move(outbox_.front());
        outbox_.pop_front();
        if (!api_ || !bridge_ || !IsWindow(bridge_)) continue;
        WriteAttaches(recorder_.NowMs());
        recorder_.Add("client<", next.shown);
        if (next.shown.find("STATUS RINGING") != std::string::npos) latency_.Ringing(recorder_.NowMs());
        clientapi::SendCopyData(bridge_, api_, next.bytes.empty() ? nullptr : next.bytes.data(),
                                static_cast<DWORD>(next.bytes.size()));
    }
}

LRESULT ClientPeer::OnCopyData(HWND window, HWND from, const COPYDATASTRUCT* block) {
    // Whatever the tag (the bridge's exit code has one), the client receives a text.
    if (window != api_ || !running_ || !block) return TRUE;
    const std::string text = clientapi::CopyDataText(block);
    if (from) bridge_ = from;
    WriteAttaches(recorder_.NowMs());  // a command comes after the attach it answers
    recorder_.Add("client>", text);
    latency_.ClientCommand(recorder_.NowMs(), text);
    // Replies go out from the driver's loop, after this message has returned.
    for (const std::string& reply : sim_.OnCommand(text)) Say(reply);
    return TRUE;
}

void ClientPeer::OnDiscover(HWND window, int kind, HWND bridge) {
    // The observer answers for the client too, so the broadcast is noted before the answer.
    if (window != observer_) return;
    const auto simKind = kind == clientapi::kSkype ? sim::ClientKindSim::Skype : sim::ClientKindSim::SoftPhone;
    recorder_.Add("broadcast", sim::SimClient::DiscoverName(simKind));
    if (api_ && running_ && KindIndex(sim_.Kind()) == kind) Attach(0, bridge);
}

}  // namespace e2e

#include "tools/e2e-driver/ClientPeer.h"

namespace e2e {

namespace {

constexpr const char* kClass = "BridgerE2eClient";
constexpr DWORD kSendTimeoutMs = 5000;
constexpr double kAttachSettleMs = 40;  // one look at the windows
ClientPeer* g_peer = nullptr;

int KindIndex(sim::ClientKindSim kind) { return kind == sim::ClientKindSim::Skype ? 0 : 1; }

}  // namespace

ClientPeer::~ClientPeer() {
    if (api_) DestroyWindow(api_);
    if (observer_) DestroyWindow(observer_);
    g_peer = nullptr;
}

bool ClientPeer::Open(std::string& error) {
    g_peer = this;
    for (sim::ClientKindSim kind : {sim::ClientKindSim::Skype, sim::ClientKindSim::SoftPhone}) {
        discover_[KindIndex(kind)] = RegisterWindowMessageA(sim::SimClient::DiscoverName(kind));
        attach_[KindIndex(kind)] = RegisterWindowMessageA(sim::SimClient::AttachName(kind));
    }
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    if (!RegisterClassA(&wc)) {
        error = "cannot register the client's window class";
        return false;
    }
    // Top-level windows: a broadcast reaches those, message-only windows it does not.
    observer_ = CreateWindowA(kClass, "e2e observer", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                              nullptr);
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
    api_ = CreateWindowA(kClass, "e2e client", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr),
                         nullptr);
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
    attaches_.push_back(PendingAttach{status, transcript_.NowMs()});
    // From a client that is not running: a window that is gone by the time the bridge
    // looks at it, as the simulation's is.
    HWND from = api_ ? api_
                     : CreateWindowA(kClass, "e2e client", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
    PostMessageA(bridge_, attach_[KindIndex(sim_.Kind())], reinterpret_cast<WPARAM>(from), static_cast<LPARAM>(status));
    if (from != api_) DestroyWindow(from);
}

void ClientPeer::WriteAttaches(double nowMs) {
    for (const PendingAttach& a : attaches_) transcript_.AddBetween(a.postedMs, nowMs, "attach", std::to_string(a.status));
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
        COPYDATASTRUCT block;
        block.dwData = 0;
        block.cbData = static_cast<DWORD>(next.bytes.size());
        block.lpData = next.bytes.empty() ? nullptr : next.bytes.data();
        WriteAttaches(transcript_.NowMs());
        transcript_.Add("client<", next.shown);
        if (next.shown.find("STATUS RINGING") != std::string::npos) latency_.Ringing(transcript_.NowMs());
        DWORD_PTR result = 0;
        SendMessageTimeoutA(bridge_, WM_COPYDATA, reinterpret_cast<WPARAM>(api_), reinterpret_cast<LPARAM>(&block),
                            SMTO_NORMAL, kSendTimeoutMs, &result);
    }
}

void ClientPeer::OnCopyData(HWND from, const COPYDATASTRUCT* block) {
    // Whatever the tag (the bridge's exit code has one), the client receives a text.
    if (!block) return;
    const char* bytes = static_cast<const char*>(block->lpData);
    std::size_t length = 0;
    while (bytes && length < block->cbData && bytes[length] != '\0') ++length;
    const std::string text(bytes ? bytes : "", length);
    if (from) bridge_ = from;
    WriteAttaches(transcript_.NowMs());  // a command comes after the attach it answers
    transcript_.Add("client>", text);
    latency_.ClientCommand(transcript_.NowMs(), text);
    // Replies go out from the driver's loop, after this message has returned.
    for (const std::string& reply : sim_.OnCommand(text)) Say(reply);
}

LRESULT CALLBACK ClientPeer::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (g_peer) return g_peer->Handle(window, message, wparam, lparam);
    return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT ClientPeer::Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    for (int kind = 0; kind < 2; ++kind) {
        if (message == 0 || message != discover_[kind]) continue;
        // The observer answers for the client too, so the broadcast is noted before the answer.
        if (window != observer_) return 0;
        transcript_.Add("broadcast", sim::SimClient::DiscoverName(kind == 0 ? sim::ClientKindSim::Skype
                                                                             : sim::ClientKindSim::SoftPhone));
        if (api_ && running_ && KindIndex(sim_.Kind()) == kind) Attach(0, reinterpret_cast<HWND>(wparam));
        return 0;
    }
    if (message == WM_COPYDATA) {
        if (window == api_ && running_) OnCopyData(reinterpret_cast<HWND>(wparam), reinterpret_cast<const COPYDATASTRUCT*>(lparam));
        return TRUE;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace e2e

#include "tools/responsiveness/StandIn.h"

namespace rsp {

namespace {

constexpr const char* kClass = "BridgerResponsivenessClient";
constexpr UINT kSendTimeoutMs = 10000;
StandIn* g_standIn = nullptr;

}  // namespace

StandIn::~StandIn() {
    if (api_) DestroyWindow(api_);
    if (observer_) DestroyWindow(observer_);
    g_standIn = nullptr;
}

bool StandIn::Open(std::string& error) {
    g_standIn = this;
    discover_ = RegisterWindowMessageA(sim::SimClient::DiscoverName(sim::ClientKindSim::Skype));
    attach_ = RegisterWindowMessageA(sim::SimClient::AttachName(sim::ClientKindSim::Skype));
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    // A second test bed of the same process finds the class there already.
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        error = "cannot register the client's window class";
        return false;
    }
    // Top-level windows: a broadcast reaches those, message-only windows it does not.
    observer_ = CreateWindowA(kClass, "responsiveness observer", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                              wc.hInstance, nullptr);
    api_ = CreateWindowA(kClass, "responsiveness client", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                         nullptr);
    if (!observer_ || !api_) {
        error = "cannot create the client's windows";
        return false;
    }
    return true;
}

void StandIn::Attach(HWND bridge, LPARAM status) {
    bridge_ = bridge;
    transcript_.Add("attach", std::to_string(status));
    PostMessageA(bridge_, attach_, reinterpret_cast<WPARAM>(api_), status);
}

double StandIn::Say(const std::string& text) {
    if (!bridge_ || !IsWindow(bridge_)) return -1;
    std::vector<char> bytes(text.begin(), text.end());
    bytes.push_back('\0');
    COPYDATASTRUCT block;
    block.dwData = 0;
    block.cbData = static_cast<DWORD>(bytes.size());
    block.lpData = bytes.data();
    transcript_.Add("client<", text);
    DWORD_PTR result = 0;
    const double start = transcript_.NowMs();
    const LRESULT sent = SendMessageTimeoutA(bridge_, WM_COPYDATA, reinterpret_cast<WPARAM>(api_),
                                             reinterpret_cast<LPARAM>(&block), SMTO_NORMAL, kSendTimeoutMs, &result);
    const double took = sent ? transcript_.NowMs() - start : -1;
    sent_.push_back(Sent{start, took, text});
    return took;
}

void StandIn::Flush(Samples* stalls) {
    while (!outbox_.empty()) {
        const std::string next = outbox_.front();
        outbox_.pop_front();
        const double took = Say(next);
        if (stalls && took >= 0) stalls->Add(took);
    }
}

int StandIn::Count(const std::string& fragment, std::size_t from) const {
    int n = 0;
    for (std::size_t i = from; i < commands_.size(); ++i)
        if (commands_[i].text.find(fragment) != std::string::npos) ++n;
    return n;
}

void StandIn::OnCopyData(HWND from, const COPYDATASTRUCT* block) {
    if (!block || block->dwData != 0) return;  // the bridge's exit code: not a command
    const char* bytes = static_cast<const char*>(block->lpData);
    std::size_t length = 0;
    while (bytes && length < block->cbData && bytes[length] != '\0') ++length;
    const std::string text(bytes ? bytes : "", length);
    if (from) bridge_ = from;
    const double now = transcript_.NowMs();
    commands_.push_back(Command{now, text});
    transcript_.Add("client>", text);
    latency_.ClientCommand(now, text);
    // A real client answers after the command's own message has returned.
    for (const std::string& reply : sim_.OnCommand(text)) outbox_.push_back(reply);
}

LRESULT CALLBACK StandIn::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (g_standIn) return g_standIn->Handle(window, message, wparam, lparam);
    return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT StandIn::Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != 0 && message == discover_) {
        if (window == observer_) {
            broadcasts_.push_back(transcript_.NowMs());
            transcript_.Add("broadcast", sim::SimClient::DiscoverName(sim::ClientKindSim::Skype));
        }
        return 0;
    }
    if (message == WM_COPYDATA) {
        if (window == api_) OnCopyData(reinterpret_cast<HWND>(wparam), reinterpret_cast<const COPYDATASTRUCT*>(lparam));
        return TRUE;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace rsp

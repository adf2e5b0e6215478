#include "tools/responsiveness/StandIn.h"

namespace rsp {

namespace {

constexpr UINT kSendTimeoutMs = 10000;

}  // namespace

StandIn::~StandIn() {
    if (api_) DestroyWindow(api_);
    if (observer_) DestroyWindow(observer_);
}

bool StandIn::Open(std::string& error) {
    // A second test bed of the same process finds the class there already.
    if (!windows_.Open("BridgerResponsivenessClient", *this, error)) return false;
    observer_ = windows_.Create("responsiveness observer");
    api_ = windows_.Create("responsiveness client");
    if (!observer_ || !api_) {
        error = "cannot create the client's windows";
        return false;
    }
    return true;
}

void StandIn::Attach(HWND bridge, LPARAM status) {
    bridge_ = bridge;
    recorder_.Add("attach", std::to_string(status));
    windows_.PostAttach(bridge_, clientapi::kSkype, api_, static_cast<long>(status));
}

double StandIn::Say(const std::string& text) {
    if (!bridge_ || !IsWindow(bridge_)) return -1;
    recorder_.Add("client<", text);
    const double start = recorder_.NowMs();
    const bool sent =
        clientapi::SendCopyData(bridge_, api_, text.c_str(), static_cast<DWORD>(text.size() + 1), kSendTimeoutMs);
    const double took = sent ? recorder_.NowMs() - start : -1;
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

LRESULT StandIn::OnCopyData(HWND window, HWND from, const COPYDATASTRUCT* block) {
    // The bridge's exit code is not a command.
    if (window != api_ || !block || block->dwData != 0) return TRUE;
    const std::string text = clientapi::CopyDataText(block);
    if (from) bridge_ = from;
    const double now = recorder_.NowMs();
    commands_.push_back(Command{now, text});
    recorder_.Add("client>", text);
    latency_.ClientCommand(now, text);
    // A real client answers after the command's own message has returned.
    for (const std::string& reply : sim_.OnCommand(text)) outbox_.push_back(reply);
    return TRUE;
}

void StandIn::OnDiscover(HWND window, int kind, HWND) {
    if (window != observer_ || kind != clientapi::kSkype) return;
    broadcasts_.push_back(recorder_.NowMs());
    recorder_.Add("broadcast", sim::SimClient::DiscoverName(sim::ClientKindSim::Skype));
}

}  // namespace rsp

// The VoIP client as the bridge meets it: a top-level window of its own that registers the
// kind's messages, answers the discover broadcast with the attach message and exchanges
// WM_COPYDATA both ways (the windows are tools/client-standin's ClientApi); the canned
// replies are tools/sim's SimClient. A second window, always there, notes every discover
// broadcast even while no client runs.
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "tools/client-standin/ClientApi.h"
#include "tools/e2e-driver/Latency.h"
#include "tools/e2e-driver/Recorder.h"
#include "tools/sim/SimClient.h"

namespace e2e {

class ClientPeer : private clientapi::Listener {
public:
    ClientPeer(Recorder& recorder, Latency& latency) : recorder_(recorder), latency_(latency) {}
    ~ClientPeer();
    ClientPeer(const ClientPeer&) = delete;
    ClientPeer& operator=(const ClientPeer&) = delete;

    bool Open(std::string& error);
    void Start(sim::ClientKindSim kind);
    void Stop();
    // The attach message with this status to the bridge that broadcast last (or `bridge`).
    void Attach(int status, HWND bridge);
    void Say(const std::string& text);
    void SendRaw(const std::vector<std::uint8_t>& bytes);
    sim::SimClient& Sim() { return sim_; }
    // Sends what is queued; called from the driver's loop.
    void Flush();
    // At a look at the bridge's windows: an attach posted before the previous look is
    // written now (see Attach).
    void Settle(double nowMs);

private:
    void OnDiscover(HWND window, int kind, HWND bridge) override;
    LRESULT OnCopyData(HWND window, HWND from, const COPYDATASTRUCT* block) override;
    void Queue(std::vector<std::uint8_t> bytes, std::string shown);

    Recorder& recorder_;
    Latency& latency_;
    sim::SimClient sim_;
    clientapi::ApiWindows windows_;
    HWND observer_ = nullptr;  // notes broadcasts of both kinds
    HWND api_ = nullptr;       // the client's API window while it runs
    HWND bridge_ = nullptr;
    bool running_ = false;
    struct Outgoing {
        std::vector<std::uint8_t> bytes;
        std::string shown;
    };
    std::deque<Outgoing> outbox_;
    // An attach message posted and not written yet: the bridge takes it from its queue
    // only after the work that is running (a broadcast is answered from inside it, before
    // the balloon that follows it), so its line waits for the bridge's first command or the
    // next look, and spans the time since it was posted.
    struct PendingAttach {
        int status;
        double postedMs;
    };
    std::deque<PendingAttach> attaches_;
    void WriteAttaches(double nowMs);
};

}  // namespace e2e

// The VoIP client as the bridge meets it, for measuring: an API window on the caller's
// thread that answers the bridge's commands as tools/sim's client does, but sends every
// notification itself with SendMessage and times how long the bridge keeps it waiting. A
// second top-level window notes each discover broadcast and when it arrived.
#pragma once
#include <deque>
#include <string>
#include <vector>

#include "tools/client-standin/ClientApi.h"
#include "tools/e2e-driver/Latency.h"
#include "tools/e2e-driver/Recorder.h"
#include "tools/responsiveness/Samples.h"
#include "tools/sim/SimClient.h"

namespace rsp {

struct Command {
    double ms;
    std::string text;
};

// A notification the stand-in sent: when SendMessage began and how long it took (-1: timed out).
struct Sent {
    double start;
    double took;
    std::string text;
};

class StandIn : private clientapi::Listener {
public:
    StandIn(e2e::Recorder& recorder, e2e::Latency& latency) : recorder_(recorder), latency_(latency) {}
    ~StandIn();
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    bool Open(std::string& error);
    sim::SimClient& Sim() { return sim_; }
    HWND Api() const { return api_; }

    // Posts the attach message with this status to the bridge's main dialog.
    void Attach(HWND bridge, LPARAM status);
    // Sends one notification and returns how long SendMessage took in ms (-1 when the
    // bridge did not take it within the time-out).
    double Say(const std::string& text);
    // Sends the replies the bridge's commands asked for, each timed into `stalls` if given.
    void Flush(Samples* stalls = nullptr);
    bool RepliesQueued() const { return !outbox_.empty(); }

    const std::vector<Command>& Commands() const { return commands_; }
    // Commands containing `fragment` received at or after index `from`.
    int Count(const std::string& fragment, std::size_t from = 0) const;
    const std::vector<double>& Broadcasts() const { return broadcasts_; }
    const std::vector<Sent>& SentLog() const { return sent_; }

private:
    void OnDiscover(HWND window, int kind, HWND bridge) override;
    LRESULT OnCopyData(HWND window, HWND from, const COPYDATASTRUCT* block) override;

    e2e::Recorder& recorder_;
    e2e::Latency& latency_;
    sim::SimClient sim_;
    clientapi::ApiWindows windows_;
    HWND observer_ = nullptr;
    HWND api_ = nullptr;
    HWND bridge_ = nullptr;
    std::deque<std::string> outbox_;
    std::vector<Command> commands_;
    std::vector<double> broadcasts_;
    std::vector<Sent> sent_;
};

}  // namespace rsp

// What one 100 ms tick and one whole incoming call cost the bridge itself. The harness
// hands control between threads on every Run(); to leave that out, the bridge's handlers
// are called directly while its process thread waits (the two never run at once).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "app/BridgeDlg.h"
#include "device/Thread.h"
#include "tools/world/Harness.h"

namespace {

// A bridge with the base present, its link test passed, and the client attached and quiet.
struct ReadyBridge {
    sim::Harness harness;
    CBridgeDlg* dlg = nullptr;

    ReadyBridge() {
        harness.Start();
        harness.PlugBase();
        harness.StartClient(sim::ClientKindSim::Skype);
        harness.Run(10000);
        dlg = harness.Bridge();
    }

    void Tick() { dlg->OnTimer(TIMER_TICK); }

    void Notify(const std::string& text) {
        plat::CopyData data;
        data.size = static_cast<std::uint32_t>(text.size() + 1);
        data.data = text.c_str();
        dlg->OnCopyData(harness.ClientWindow(), data);
    }
};

void BM_IdleTick(benchmark::State& state) {
    ReadyBridge bridge;
    if (!bridge.dlg || bridge.dlg->m_nStatus != STATUS_READY || !bridge.dlg->m_bClientAttached) {
        state.SkipWithError("the bridge did not come up");
        return;
    }
    for (auto _ : state) bridge.Tick();
}
BENCHMARK(BM_IdleTick);

// The same tick as the scenarios see it: through the headless platform's message loop.
void BM_IdleTickThroughHarness(benchmark::State& state) {
    ReadyBridge bridge;
    if (!bridge.dlg) {
        state.SkipWithError("the bridge did not come up");
        return;
    }
    for (auto _ : state) bridge.harness.Run(100);
}
BENCHMARK(BM_IdleTickThroughHarness);

// RINGING, partner handle, alert, answer on handset 1, INPROGRESS, hang-up, back to idle.
void BM_IncomingCall(benchmark::State& state) {
    ReadyBridge bridge;
    if (!bridge.dlg) {
        state.SkipWithError("the bridge did not come up");
        return;
    }
    bridge.harness.Client().SetAuto(false);  // replies are fed below, synchronously
    int callId = 1000;
    for (auto _ : state) {
        const std::string id = std::to_string(++callId);
        bridge.Notify("CALL " + id + " STATUS RINGING");
        bridge.Notify("CALL " + id + " PARTNER_HANDLE alice");
        bridge.Tick();  // the alert
        bridge.harness.Base().Answer(1);
        bridge.Tick();  // EVT_ANSWER: INPROGRESS to the client
        bridge.Notify("CALL " + id + " STATUS INPROGRESS");
        bridge.harness.Base().HangUp(1);
        bridge.Tick();  // EVT_HANG_UP: FINISHED and HOOK ON
        bridge.Notify("CALL " + id + " STATUS FINISHED");
        if (bridge.dlg->m_nStatus != STATUS_READY || !bridge.dlg->m_strCallId.empty()) {
            state.SkipWithError("the call did not end back in USB READY");
            return;
        }
    }
}
BENCHMARK(BM_IncomingCall);

}  // namespace

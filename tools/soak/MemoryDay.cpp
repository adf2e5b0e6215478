// bridger-memday: a virtual day of the real bridge on the headless platform, measuring the
// heap. A call every ten minutes (ringing, answered on handset 1, two minutes of talk,
// ended by the client), the base sending a status report every five seconds and the
// bridge its keep-alives, all day long.
//
// The heap is measured by counting every operator new and delete of the process. The
// scenario runner's transcript is muted and the simulated peers' records are dropped
// every hour, so the live bytes at each hour's end are the bridge's own heap plus the
// harness's fixed part; their growth is the bridge's.
//
//   bridger-memday [--debug-window] [--hours N]
// With --debug-window the debug window is open all day (its lists are not trimmed) and
// the lines its two lists gain per hour are printed too.
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "app/BridgeDlg.h"
#include "device/Packet.h"
#include "tools/world/HeadlessPlatform.h"
#include "tools/world/Harness.h"
#include "res/resource.h"

namespace {

std::atomic<long long> g_liveBytes{0};
std::atomic<long long> g_liveBlocks{0};
constexpr std::size_t kHeader = 16;  // keeps the block aligned for any type

void* Allocate(std::size_t size) {
    void* block = std::malloc(size + kHeader);
    if (!block) throw std::bad_alloc();
    std::memcpy(block, &size, sizeof size);
    g_liveBytes += static_cast<long long>(size);
    ++g_liveBlocks;
    return static_cast<char*>(block) + kHeader;
}

void Release(void* p) {
    if (!p) return;
    char* block = static_cast<char*>(p) - kHeader;
    std::size_t size = 0;
    std::memcpy(&size, block, sizeof size);
    g_liveBytes -= static_cast<long long>(size);
    --g_liveBlocks;
    std::free(block);
}

constexpr std::uint64_t kHourMs = 3600u * 1000u;
constexpr std::uint64_t kCallEveryMs = 10u * 60u * 1000u;
constexpr std::uint64_t kBaseStatusEveryMs = 5000;
constexpr std::uint64_t kTalkMs = 2u * 60u * 1000u;
constexpr std::uint64_t kStepMs = 500;

struct Lists {
    std::size_t lines = 0;
    std::size_t bytes = 0;
};

Lists DebugLists(sim::Harness& h) {
    Lists out;
    const sim::WindowState* w = h.Platform().windows.FindByTemplate(IDD_DEBUG);
    if (!w) return out;
    for (int id : {IDC_DEVICE_LOG, IDC_VOIP_LOG}) {
        if (const sim::ControlState* c = h.Platform().windows.Control(w->handle, id)) {
            out.lines += c->items.size();
            for (const std::string& item : c->items) out.bytes += item.size();
        }
    }
    return out;
}

// Moves the clock on, the base reporting its status every five seconds.
void Pass(sim::Harness& h, std::uint64_t ms, std::uint64_t& untilStatus) {
    for (std::uint64_t done = 0; done < ms; done += kStepMs) {
        if (untilStatus <= kStepMs) {
            h.Base().SendPacket(pkt::EVT_BASE_STATUS, {0x00});
            untilStatus = kBaseStatusEveryMs;
        } else {
            untilStatus -= kStepMs;
        }
        h.Run(kStepMs);
    }
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

int main(int argc, char** argv) {
    bool debugWindow = false;
    int hours = 24;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--debug-window") debugWindow = true;
        else if (arg == "--hours" && i + 1 < argc) hours = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "usage: %s [--debug-window] [--hours N]\n", argv[0]);
            return 2;
        }
    }
    int failures = 0;
    long long firstHour = 0;
    long long peakEnd = 0;
    {
        sim::Harness h;
        h.PlugBase();
        h.StartClient(sim::ClientKindSim::Skype);
        h.Start(debugWindow ? "QOPA" : "");
        h.Platform().recorder.Mute();
        h.DriveInline(true);
        std::uint64_t untilStatus = kBaseStatusEveryMs;
        Pass(h, 10000, untilStatus);
        CBridgeDlg* dlg = h.Bridge();
        if (!dlg || dlg->m_nStatus != STATUS_READY || !dlg->m_bClientAttached) {
            std::fprintf(stderr, "the bridge did not come up ready\n");
            return 1;
        }
        std::printf("hour  calls  live-bytes  live-blocks%s\n", debugWindow ? "  debug-lines  debug-text-bytes" : "");
        int calls = 0;
        int callId = 1000;
        Lists before = DebugLists(h);
        for (int hour = 1; hour <= hours; ++hour) {
            for (std::uint64_t t = 0; t < kHourMs; t += kCallEveryMs) {
                const std::string id = std::to_string(++callId);
                h.ClientSay("CALL " + id + " STATUS RINGING");
                Pass(h, 3000, untilStatus);
                const bool rang = dlg->m_nStatus == STATUS_RINGING;
                h.Base().Answer(1);
                Pass(h, kTalkMs, untilStatus);
                const bool talked = dlg->m_nStatus == STATUS_IN_CALL && dlg->m_strCallId == id;
                h.ClientSay("CALL " + id + " STATUS FINISHED");
                Pass(h, kCallEveryMs - kTalkMs - 3000, untilStatus);
                const bool ended = dlg->m_nStatus == STATUS_READY && dlg->m_strCallId.empty();
                if (!rang || !talked || !ended) {
                    ++failures;
                    std::fprintf(stderr, "call %s: rang %d, talked %d, ended %d\n", id.c_str(), rang, talked, ended);
                }
                ++calls;
            }
            h.Base().ForgetReceived();
            h.Client().ForgetCommands();
            const long long live = g_liveBytes.load();
            if (hour == 1) firstHour = live;
            if (live > peakEnd) peakEnd = live;
            const Lists lists = DebugLists(h);
            if (debugWindow)
                std::printf("%4d  %5d  %10lld  %11lld  %11zu  %16zu\n", hour, calls, live, g_liveBlocks.load(),
                            lists.lines - before.lines, lists.bytes - before.bytes);
            else
                std::printf("%4d  %5d  %10lld  %11lld\n", hour, calls, live, g_liveBlocks.load());
            before = lists;
        }
        const long long end = g_liveBytes.load();
        std::printf("after the first hour %lld bytes, at the end %lld bytes (%+lld), largest hour's end %lld\n",
                    firstHour, end, end - firstHour, peakEnd);
        if (!debugWindow && end > firstHour) {
            std::fprintf(stderr, "the heap grew after the first hour\n");
            ++failures;
        }
    }
    return failures ? 1 : 0;
}

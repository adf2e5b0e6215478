// The simulated process's thread, its virtual clock, its window timers and its message
// queue. The process thread and the caller (a test or the scenario runner) never run at
// the same time: control passes back and forth explicitly.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Types.h"

namespace sim {

class EventLoop {
public:
    using Task = std::function<void()>;

    EventLoop() = default;
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    std::uint64_t Now() const { return now_; }

    // ---- timers (periodic; SetTimer on a running id restarts it) ----
    void SetTimer(plat::WindowHandle window, unsigned id, unsigned periodMs);
    void KillTimer(plat::WindowHandle window, unsigned id);
    void KillTimers(plat::WindowHandle window);
    bool HasTimer(plat::WindowHandle window, unsigned id) const;
    void SetTimerSink(std::function<void(plat::WindowHandle, unsigned)> sink) { timerSink_ = std::move(sink); }
    // Called after every delivered timer and message (the observers look at the bridge).
    void SetAfterEvent(std::function<void()> hook) { afterEvent_ = std::move(hook); }
    // Called on the caller's thread just before the process thread gets control.
    void SetBeforeHandOver(std::function<void()> hook) { beforeHandOver_ = std::move(hook); }
    // Asked first at every turn of a loop, before the queue and the timers: delivers what a
    // set event brings (a watched HID read) and says whether it delivered anything.
    void SetSignals(std::function<bool()> deliver) { signals_ = std::move(deliver); }

    // ---- message queue: delivered in order at the current time, before the clock moves ----
    void Post(Task task) { queue_.push_back(std::move(task)); }

    // ---- the process thread's side ----
    // Delivers messages and due timers until done() holds, handing control to the caller
    // whenever nothing is due; false when the process is being torn down.
    bool RunUntil(const std::function<bool()>& done);
    bool Aborting() const { return aborting_; }

    // ---- the caller's side ----
    // Runs body as the process; returns once it waits for events or has ended.
    void Start(std::function<void()> body);
    bool Started() const { return thread_.joinable(); }
    bool Ended() const { return ended_; }
    // Moves the clock on by ms, delivering what falls due on the way.
    void Advance(std::uint64_t ms);
    // Lets the process handle what is queued now, without moving the clock.
    void Pump() { Advance(0); }
    // Inline mode: Advance and Pump deliver on the caller's own thread while the process
    // waits at its top level, saving two thread switches per call (fuzzers, long runs).
    // Only for work that opens no modal loop of its own (message boxes must close at
    // once); such a loop would have to wait for the caller and ends the program instead.
    void SetInline(bool on) { inline_ = on; }
    // Makes every loop of the process return and waits for the process to end.
    void Abort();

private:
    struct Timer {
        plat::WindowHandle window;
        unsigned id;
        unsigned period;
        std::uint64_t due;
        std::uint64_t order;  // ties fall in the order the timers were set
    };

    void HandOver();
    void Yield();
    // Delivers the first queued message or, failing that, the next timer due by target_;
    // false when nothing was due.
    bool DeliverNext();
    void AdvanceInline();
    Timer* NextTimer();
    void AfterEvent() { if (afterEvent_) afterEvent_(); }

    std::uint64_t now_ = 0;
    std::uint64_t target_ = 0;
    std::uint64_t nextOrder_ = 0;
    std::vector<Timer> timers_;
    std::deque<Task> queue_;
    std::function<void(plat::WindowHandle, unsigned)> timerSink_;
    std::function<void()> afterEvent_;
    std::function<void()> beforeHandOver_;
    std::function<bool()> signals_;

    enum class Turn { Caller, Process };
    std::mutex mutex_;
    std::condition_variable turnChanged_;
    Turn turn_ = Turn::Caller;
    bool ended_ = false;
    bool aborting_ = false;
    bool inline_ = false;
    bool deliveringInline_ = false;
    std::thread thread_;
};

}  // namespace sim

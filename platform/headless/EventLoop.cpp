#include "platform/headless/EventLoop.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {
// Windows raises shorter periods to USER_TIMER_MINIMUM; it also keeps a 0 period from
// spinning the loop at one instant.
constexpr unsigned kMinimumPeriodMs = 10;
}  // namespace

EventLoop::~EventLoop() { Abort(); }

void EventLoop::SetTimer(plat::WindowHandle window, unsigned id, unsigned periodMs) {
    KillTimer(window, id);
    const unsigned period = std::max(periodMs, kMinimumPeriodMs);
    timers_.push_back(Timer{window, id, period, now_ + period, nextOrder_++});
}

void EventLoop::KillTimer(plat::WindowHandle window, unsigned id) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [&](const Timer& t) { return t.window == window && t.id == id; }),
                  timers_.end());
}

void EventLoop::KillTimers(plat::WindowHandle window) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == window; }),
                  timers_.end());
}

bool EventLoop::HasTimer(plat::WindowHandle window, unsigned id) const {
    return std::any_of(timers_.begin(), timers_.end(),
                       [&](const Timer& t) { return t.window == window && t.id == id; });
}

EventLoop::Timer* EventLoop::NextTimer() {
    Timer* next = nullptr;
    for (Timer& t : timers_) {
        if (!next || t.due < next->due || (t.due == next->due && t.order < next->order)) next = &t;
    }
    return next;
}

bool EventLoop::DeliverNext() {
    if (signals_ && signals_()) {
        AfterEvent();
        return true;
    }
    if (!queue_.empty()) {
        Task task = std::move(queue_.front());
        queue_.pop_front();
        task();
        AfterEvent();
        return true;
    }
    Timer* next = NextTimer();
    if (!next || next->due > target_) return false;
    now_ = next->due;
    next->due += next->period;
    const plat::WindowHandle window = next->window;
    const unsigned id = next->id;
    if (timerSink_) timerSink_(window, id);
    AfterEvent();
    return true;
}

bool EventLoop::RunUntil(const std::function<bool()>& done) {
    for (;;) {
        if (aborting_) return false;
        if (done && done()) return true;
        if (DeliverNext()) continue;
        now_ = target_;
        if (deliveringInline_) {
            std::fprintf(stderr, "EventLoop: a modal loop waits while driven inline\n");
            std::abort();
        }
        Yield();
    }
}

void EventLoop::AdvanceInline() {
    if (beforeHandOver_) beforeHandOver_();
    deliveringInline_ = true;
    while (!aborting_ && DeliverNext()) {
    }
    deliveringInline_ = false;
}

void EventLoop::Start(std::function<void()> body) {
    if (thread_.joinable()) return;
    thread_ = std::thread([this, body = std::move(body)] {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            turnChanged_.wait(lock, [this] { return turn_ == Turn::Process; });
        }
        body();
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
        turn_ = Turn::Caller;
        turnChanged_.notify_all();
    });
    target_ = now_;
    HandOver();
}

void EventLoop::Advance(std::uint64_t ms) {
    target_ = now_ + ms;
    if (inline_ && thread_.joinable() && !ended_) AdvanceInline();
    else HandOver();
    // With no process left the clock still moves.
    now_ = std::max(now_, target_);
}

void EventLoop::Abort() {
    if (!thread_.joinable()) return;
    aborting_ = true;
    HandOver();
    thread_.join();
}

void EventLoop::HandOver() {
    if (!thread_.joinable() || ended_) return;
    if (beforeHandOver_) beforeHandOver_();
    std::unique_lock<std::mutex> lock(mutex_);
    turn_ = Turn::Process;
    turnChanged_.notify_all();
    turnChanged_.wait(lock, [this] { return turn_ == Turn::Caller; });
}

void EventLoop::Yield() {
    std::unique_lock<std::mutex> lock(mutex_);
    turn_ = Turn::Caller;
    turnChanged_.notify_all();
    turnChanged_.wait(lock, [this] { return turn_ == Turn::Process; });
}

}  // namespace sim

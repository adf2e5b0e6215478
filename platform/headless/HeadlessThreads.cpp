#include "platform/headless/HeadlessThreads.h"

#include "platform/WinThread.h"

namespace sim {

plat::Handle HeadlessThreads::CreateSuspended(plat::WinThread& thread) {
    const plat::Handle handle = ++next_;
    threads_[handle].thread = &thread;
    transcript_.Add("thread", "created");
    return handle;
}

void HeadlessThreads::Resume(plat::Handle thread) {
    auto it = threads_.find(thread);
    if (it == threads_.end()) return;
    State& s = it->second;
    if (s.suspendCount > 0) --s.suspendCount;
    transcript_.Add("thread", "resumed");
    if (s.suspendCount == 0 && !s.started) {
        s.started = true;
        // Its message loop would only idle; nothing is ever posted to it.
        s.thread->InitInstance();
    }
}

void HeadlessThreads::Suspend(plat::Handle thread) {
    auto it = threads_.find(thread);
    if (it == threads_.end()) return;
    ++it->second.suspendCount;
    transcript_.Add("thread", "suspended");
}

const HeadlessThreads::State* HeadlessThreads::Find(plat::Handle thread) const {
    auto it = threads_.find(thread);
    return it == threads_.end() ? nullptr : &it->second;
}

}  // namespace sim

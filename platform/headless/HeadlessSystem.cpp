#include "platform/headless/HeadlessSystem.h"

#include <algorithm>
#include <map>

namespace sim {

namespace {

// Named kernel objects live on the machine, not in one process: every Harness of the
// program shares them.
struct MutexRegistry {
    struct Object {
        int handles = 0;
        bool owned = false;
        bool unopenable = false;  // made by a process this one may not open objects of
    };
    std::map<std::string, Object> objects;
    std::map<plat::Handle, std::string> handles;
    plat::Handle next = 0x4000;

    plat::Handle NewHandle(const std::string& name) {
        const plat::Handle h = ++next;
        handles[h] = name;
        ++objects[name].handles;
        return h;
    }
};

MutexRegistry& Registry() {
    static MutexRegistry registry;
    return registry;
}

constexpr std::uint64_t kDayMs = 24ull * 60 * 60 * 1000;

}  // namespace

plat::TimeOfDay HeadlessSystem::LocalTime() {
    const std::uint64_t startMs =
        ((static_cast<std::uint64_t>(start_.hour) * 60 + start_.minute) * 60 + start_.second) * 1000;
    const std::uint64_t seconds = ((startMs + loop_.Now()) % kDayMs) / 1000;
    plat::TimeOfDay t;
    t.hour = static_cast<int>(seconds / 3600);
    t.minute = static_cast<int>(seconds / 60 % 60);
    t.second = static_cast<int>(seconds % 60);
    return t;
}

plat::Handle HeadlessSystem::CreateMutex(const std::string& name, bool initiallyOwned, bool& alreadyExists) {
    MutexRegistry& r = Registry();
    auto existing = r.objects.find(name);
    alreadyExists = existing != r.objects.end();
    if (alreadyExists && existing->second.unopenable) return plat::kNullHandle;
    const plat::Handle h = r.NewHandle(name);
    // An existing mutex is opened, and the initial ownership is ignored.
    if (!alreadyExists) r.objects[name].owned = initiallyOwned;
    mine_.push_back(h);
    return h;
}

void HeadlessSystem::ReleaseMutex(plat::Handle mutex) {
    MutexRegistry& r = Registry();
    auto it = r.handles.find(mutex);
    if (it != r.handles.end()) r.objects[it->second].owned = false;
}

void HeadlessSystem::CloseHandle(plat::Handle handle) {
    MutexRegistry& r = Registry();
    auto it = r.handles.find(handle);
    if (it == r.handles.end()) return;
    const std::string name = it->second;
    r.handles.erase(it);
    mine_.erase(std::remove(mine_.begin(), mine_.end(), handle), mine_.end());
    if (--r.objects[name].handles <= 0) r.objects.erase(name);
}

void HeadlessSystem::CloseAll() {
    const std::vector<plat::Handle> held = mine_;
    for (plat::Handle h : held) CloseHandle(h);
}

bool HeadlessSystem::MutexExists(const std::string& name) {
    return Registry().objects.count(name) != 0;
}

void HeadlessSystem::SetUnopenableMutex(const std::string& name, bool exists) {
    MutexRegistry& r = Registry();
    if (exists) {
        r.objects[name].unopenable = true;
    } else if (r.objects.count(name) && r.objects[name].unopenable) {
        r.objects.erase(name);
    }
}

void HeadlessSystem::ShellOpen(plat::WindowHandle owner, const std::string& target) {
    (void)owner;
    transcript_.Add("shell", target);
}

}  // namespace sim

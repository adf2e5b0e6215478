// Kernel and shell services of the simulated process: the virtual local time, the
// version, the command line, named mutexes (shared by every process of the machine) and
// shell requests.
#pragma once
#include <string>
#include <vector>

#include "platform/System.h"
#include "platform/headless/EventLoop.h"
#include "platform/headless/Peers.h"

namespace sim {

class HeadlessSystem : public plat::System {
public:
    HeadlessSystem(EventLoop& loop, EffectLog& transcript, plat::TimeOfDay start, plat::OsVersion os)
        : loop_(loop), transcript_(transcript), start_(start), os_(os) {}
    ~HeadlessSystem() override { CloseAll(); }

    plat::TimeOfDay LocalTime() override;
    plat::OsVersion Version() override { return os_; }
    std::string CommandLine() override { return commandLine_; }
    void InitCommonControls() override {}
    plat::Handle CreateMutex(const std::string& name, bool initiallyOwned, bool& alreadyExists) override;
    void ReleaseMutex(plat::Handle mutex) override;
    void CloseHandle(plat::Handle handle) override;
    void ShellOpen(plat::WindowHandle owner, const std::string& target) override;

    void SetCommandLine(const std::string& line) { commandLine_ = line; }
    void SetStartTime(plat::TimeOfDay start) { start_ = start; }
    void SetVersion(plat::OsVersion os) { os_ = os; }
    // The process ended: the system closes what it still holds.
    void CloseAll();
    // A mutex of this name exists anywhere on the machine.
    static bool MutexExists(const std::string& name);
    // A mutex of this name made by an elevated process exists (or goes away): it cannot be
    // opened from here.
    static void SetUnopenableMutex(const std::string& name, bool exists);

private:
    EventLoop& loop_;
    EffectLog& transcript_;
    plat::TimeOfDay start_;
    plat::OsVersion os_;
    std::string commandLine_;
    std::vector<plat::Handle> mine_;
};

}  // namespace sim

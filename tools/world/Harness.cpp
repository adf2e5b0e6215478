// The harness's process, its peers and what it observed; the user's actions are in HarnessUser.cpp.
#include "tools/world/Harness.h"

#include <algorithm>

#include "app/BridgeApp.h"
#include "tools/world/HarnessImpl.h"

namespace sim {

Harness::Harness(Options options) : impl_(std::make_unique<Impl>(options)) {
    impl_->platform.windows.SetAutoMessageBoxes(options.autoMessageBoxes);
}

Harness::~Harness() {
    // Whatever the process still does while it unwinds is no longer observable.
    impl_->platform.recorder.Mute();
    impl_->platform.loop.Abort();
}

void Harness::Start(const std::string& commandLine) {
    impl_->StartProcess([] { return BridgerMain(); }, commandLine, true);
}

void Harness::StartWith(std::function<int()> processMain, const std::string& commandLine) {
    impl_->StartProcess(std::move(processMain), commandLine, false);
}

bool Harness::Ended() const { return impl_->platform.loop.Ended(); }
int Harness::ExitCode() const { return Ended() ? impl_->exitCode : -1; }

void Harness::Run(std::uint64_t ms) {
    impl_->platform.loop.Advance(ms);
    impl_->ObserveStatus();
}

void Harness::DriveInline(bool on) { impl_->platform.loop.SetInline(on); }

std::uint64_t Harness::Now() const { return impl_->platform.loop.Now(); }

CBridgeDlg* Harness::Bridge() const { return impl_->Bridge(); }

SimBase& Harness::Base() { return impl_->platform.base; }
SimClient& Harness::Client() { return impl_->platform.client; }
void Harness::PlugBase() { impl_->platform.PlugBase(); }
void Harness::UnplugBase() { impl_->platform.UnplugBase(); }
bool Harness::BasePlugged() const { return impl_->platform.BasePlugged(); }

void Harness::StartClient(ClientKindSim kind) { impl_->platform.StartClient(kind); }
void Harness::StopClient() { impl_->platform.messages.StopClient(); }
bool Harness::ClientRunning() const { return impl_->platform.messages.ClientRunning(); }
plat::WindowHandle Harness::ClientWindow() const { return impl_->platform.messages.ClientWindow(); }

void Harness::ClientAttach(int status) {
    impl_->platform.messages.PostAttach(status);
    impl_->platform.loop.Pump();
}

void Harness::ClientSay(const std::string& text) {
    impl_->platform.messages.PostNotification(text);
    impl_->platform.loop.Pump();
}

void Harness::ClientSendRaw(const std::vector<std::uint8_t>& bytes) {
    impl_->platform.messages.PostRaw(bytes);
    impl_->platform.loop.Pump();
}

void Harness::LiveReads(bool on) { impl_->platform.hid.SetLiveReads(on); }

void Harness::DuringClientCommand(std::function<void(const std::string& command)> during) {
    impl_->platform.messages.SetCommandHook(std::move(during));
}

void Harness::ClientSayNow(const std::string& text) { impl_->platform.messages.SendNotificationNow(text); }

void Harness::SendNow(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    const WindowState* main = impl_->platform.windows.FindByTemplate(IDD_BRIDGE);
    if (main) impl_->platform.windows.SendNow(main->handle, message, wparam, lparam);
}

const std::vector<Line>& Harness::Transcript() const { return impl_->platform.transcript.Lines(); }

scn::Transcript& Harness::Record() { return impl_->platform.transcript; }

std::vector<Line> Harness::Find(const std::string& kind, const std::string& fragment) const {
    std::vector<Line> out;
    for (const Line& l : Transcript())
        if (l.kind == kind && l.text.find(fragment) != std::string::npos) out.push_back(l);
    return out;
}

int Harness::IndexOf(const std::string& kind, const std::string& fragment, int from) const {
    const std::vector<Line>& lines = Transcript();
    for (int i = std::max(from, 0); i < static_cast<int>(lines.size()); ++i) {
        const Line& l = lines[static_cast<std::size_t>(i)];
        if (l.kind == kind && l.text.find(fragment) != std::string::npos) return i;
    }
    return -1;
}

HeadlessPlatform& Harness::Platform() { return impl_->platform; }

const std::vector<Violation>& Harness::Violations() const { return impl_->violations; }
const UserView& Harness::View() const { return impl_->view; }

}  // namespace sim

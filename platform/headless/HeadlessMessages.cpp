#include "platform/headless/HeadlessMessages.h"

#include <algorithm>

#include "device/Packet.h"
#include "platform/Dialog.h"
#include "res/resource.h"

namespace sim {

namespace {

// The copy-data bytes as the client log shows them: the text up to its NUL, other
// unprintable bytes escaped.
std::string Shown(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    for (std::uint8_t b : bytes) {
        if (b == 0) break;
        if (b < 0x20 || b == 0x7F) {
            out += "\\x" + pkt::Hex(&b, 1);
        } else {
            out += static_cast<char>(b);
        }
    }
    return out;
}
}  // namespace

HeadlessMessages::HeadlessMessages(EventLoop& loop, EffectLog& transcript, HeadlessWindows& windows,
                                   ApiPeer& client)
    : loop_(loop), transcript_(transcript), windows_(windows), client_(client) {
    clientWindow_ = windows_.AllocateHandle();
}

unsigned HeadlessMessages::Register(const std::string& name) {
    if (registrationFails_ || name.empty()) return 0;
    auto it = numbers_.find(name);
    if (it != numbers_.end()) return it->second;
    const unsigned number = nextNumber_++;
    numbers_[name] = number;
    return number;
}

std::string HeadlessMessages::NameOf(unsigned message) const {
    for (const auto& entry : numbers_)
        if (entry.second == message) return entry.first;
    return std::to_string(message);
}

std::intptr_t HeadlessMessages::Deliver(plat::WindowHandle to, unsigned message, std::uintptr_t wparam,
                                        std::intptr_t lparam) {
    plat::Dialog* sink = windows_.Sink(to);
    if (!sink) return 0;
    std::intptr_t result = 0;
    if (sink->OnMessage(message, wparam, lparam, result)) return result;
    return windows_.DefaultProc(to, message, wparam, lparam);
}

void HeadlessMessages::Broadcast(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    transcript_.Add("broadcast", NameOf(message));
    for (plat::WindowHandle w : windows_.TopLevelWindows())
        if (windows_.Exists(w)) Deliver(w, message, wparam, lparam);
    if (clientRunning_ && message != 0 && message == Register(client_.DiscoverMessage())) {
        partner_ = static_cast<plat::WindowHandle>(wparam);
        PostAttach(0);
    }
}

plat::WindowHandle HeadlessMessages::BridgeWindow() const {
    if (partner_ && windows_.Exists(partner_)) return partner_;
    const WindowState* main = windows_.FindByTemplate(IDD_BRIDGE);
    return main ? main->handle : 0;
}

void HeadlessMessages::PostAttach(int status) {
    loop_.Post([this, status] {
        const plat::WindowHandle target = BridgeWindow();
        if (!target) return;
        transcript_.Add("attach", std::to_string(status));
        client_.AttachDelivered(status);
        Deliver(target, Register(client_.AttachMessage()), clientWindow_, status);
    });
}

void HeadlessMessages::PostCopyData(std::vector<std::uint8_t> bytes, std::string shown) {
    loop_.Post([this, bytes = std::move(bytes), shown = std::move(shown)] {
        const plat::WindowHandle target = BridgeWindow();
        plat::Dialog* sink = windows_.Sink(target);
        if (!sink) return;
        transcript_.Add("client<", shown);
        client_.Delivered(std::string(bytes.begin(), std::find(bytes.begin(), bytes.end(), std::uint8_t{0})));
        plat::CopyData data;
        data.size = static_cast<std::uint32_t>(bytes.size());
        data.data = bytes.empty() ? nullptr : bytes.data();
        sink->OnCopyData(clientWindow_, data);
    });
}

void HeadlessMessages::SendNotificationNow(const std::string& text) {
    plat::Dialog* sink = windows_.Sink(BridgeWindow());
    if (!sink || !clientRunning_) return;
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    transcript_.Add("client<", text);
    plat::CopyData data;
    data.size = static_cast<std::uint32_t>(bytes.size());
    data.data = bytes.data();
    sink->OnCopyData(clientWindow_, data);
}

void HeadlessMessages::PostNotification(const std::string& text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    PostCopyData(std::move(bytes), text);
}

void HeadlessMessages::PostRaw(const std::vector<std::uint8_t>& bytes) { PostCopyData(bytes, Shown(bytes)); }

void HeadlessMessages::StartClient() {
    // A client started again is a new process with a new window.
    if (clientRunning_) return;
    clientWindow_ = windows_.AllocateHandle();
    client_.ProcessStarted();
    clientRunning_ = true;
}

void HeadlessMessages::StopClient() {
    if (clientRunning_) client_.ProcessEnded();
    clientRunning_ = false;
}

std::intptr_t HeadlessMessages::SendCopyData(plat::WindowHandle to, plat::WindowHandle from,
                                             const plat::CopyData& data) {
    if (to != 0 && to == clientWindow_) {
        if (!clientRunning_) return 0;
        const char* bytes = static_cast<const char*>(data.data);
        std::size_t length = 0;
        while (bytes && length < data.size && bytes[length] != '\0') ++length;
        const std::string text(bytes ? bytes : "", length);
        transcript_.Add("client>", text);
        if (from) partner_ = from;
        for (const std::string& reply : client_.OnCommand(text)) PostNotification(reply);
        if (commandHook_) {
            // A hook that sends to the bridge in turn must not run again inside itself.
            const auto hook = std::move(commandHook_);
            commandHook_ = nullptr;
            hook(text);
            if (!commandHook_) commandHook_ = hook;
        }
        return 1;
    }
    plat::Dialog* sink = windows_.Sink(to);
    if (!sink) return 0;
    if (sink->OnCopyData(from, data)) return 1;
    return windows_.DefaultProc(to, 0x004A /* WM_COPYDATA */, from, 0);
}

bool HeadlessMessages::IsWindow(plat::WindowHandle window) const {
    if (window == 0) return false;
    if (window == clientWindow_) return clientRunning_;
    return windows_.Exists(window);
}

}  // namespace sim

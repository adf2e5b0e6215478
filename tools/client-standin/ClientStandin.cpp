// client-standin: a VoIP client's desktop API as Bridger.exe meets it, for tests.
//
//   client-standin [--kind skype|softphone] [--status S[,S...]] [--reply COMMAND=>NOTIFICATION]...
//                  [--notify MS=>NOTIFICATION]... [--run MS]
//
// Registers the kind's discover and attach messages and answers each discover broadcast
// with the next attach status of the list (the last one repeats). Prints, one line each:
//   ready                       its window exists and listens
//   discover                    a discover broadcast arrived
//   attach S                    it answered with status S
//   client> TEXT                a command arrived (WM_COPYDATA with tag 0)
//   code N value V              a copy-data message with tag N and a 4-byte value
//   client< TEXT                it sent a notification
// A command equal to a --reply COMMAND is answered with its NOTIFICATION; each --notify is
// sent MS milliseconds after the attachment. It ends after --run MS (default 30000) or
// once the bridge has sent code 9 (its exit).
#include <cstdint>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "app/ShellConstants.h"
#include "tools/client-standin/ClientApi.h"

namespace {

constexpr UINT WM_SEND_QUEUED = WM_APP + 1;
constexpr UINT_PTR kRunTimer = 1;
constexpr UINT_PTR kFirstNotifyTimer = 100;

struct Rule {
    std::string command;
    std::string notification;
};

struct Scheduled {
    unsigned delayMs;
    std::string notification;
};

struct Standin {
    int kind = clientapi::kSkype;
    std::vector<long> statuses{0};
    std::size_t nextStatus = 0;
    std::vector<Rule> replies;
    std::vector<Scheduled> notifications;
    unsigned runMs = 30000;

    clientapi::ApiWindows windows;
    HWND self = nullptr;
    HWND bridge = nullptr;
    std::deque<std::string> outbox;
};

Standin g;

void Line(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

bool SplitArrow(const std::string& s, std::string& left, std::string& right) {
    const std::size_t at = s.find("=>");
    if (at == std::string::npos) return false;
    left = s.substr(0, at);
    right = s.substr(at + 2);
    return true;
}

bool Parse(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const std::string value = argv[i + 1];
        std::string left, right;
        if (key == "--kind") {
            if (value == "softphone") {
                g.kind = clientapi::kSoftPhone;
            } else if (value != "skype") {
                return false;
            }
        } else if (key == "--status") {
            g.statuses.clear();
            const char* p = value.c_str();
            while (*p) {
                char* end = nullptr;
                g.statuses.push_back(std::strtol(p, &end, 0));
                if (end == p) return false;
                p = (*end == ',') ? end + 1 : end;
            }
            if (g.statuses.empty()) return false;
        } else if (key == "--reply" && SplitArrow(value, left, right)) {
            g.replies.push_back(Rule{left, right});
        } else if (key == "--notify" && SplitArrow(value, left, right)) {
            g.notifications.push_back(Scheduled{static_cast<unsigned>(std::strtoul(left.c_str(), nullptr, 10)), right});
        } else if (key == "--run") {
            g.runMs = static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 10));
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

// Notifications go out after the current message has returned: the bridge is inside its
// own SendMessage while it hands us a command.
void Queue(const std::string& notification) {
    g.outbox.push_back(notification);
    PostMessageA(g.self, WM_SEND_QUEUED, 0, 0);
}

void SendQueued() {
    while (!g.outbox.empty()) {
        const std::string text = g.outbox.front();
        g.outbox.pop_front();
        if (!g.bridge || !IsWindow(g.bridge)) continue;
        Line("client< " + text);
        clientapi::SendCopyData(g.bridge, g.self, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
}

void HandleDiscover(HWND bridge) {
    g.bridge = bridge;
    Line("discover");
    const long status = g.statuses[g.nextStatus < g.statuses.size() ? g.nextStatus : g.statuses.size() - 1];
    ++g.nextStatus;
    Line("attach " + std::to_string(status));
    g.windows.PostAttach(bridge, g.kind, g.self, status);
    if (status == 0) {
        for (std::size_t i = 0; i < g.notifications.size(); ++i)
            SetTimer(g.self, kFirstNotifyTimer + i, g.notifications[i].delayMs, nullptr);
    }
}

LRESULT HandleCopyData(HWND from, const COPYDATASTRUCT* block) {
    if (!block) return FALSE;
    if (block->dwData != 0) {
        std::uint32_t value = 0;
        if (block->lpData && block->cbData >= sizeof value) std::memcpy(&value, block->lpData, sizeof value);
        Line("code " + std::to_string(block->dwData) + " value " + std::to_string(value));
        if (block->dwData == static_cast<ULONG_PTR>(kClientExitCode)) PostQuitMessage(0);
        return TRUE;
    }
    const std::string text = clientapi::CopyDataText(block);
    if (from) g.bridge = from;
    Line("client> " + text);
    for (const Rule& rule : g.replies)
        if (rule.command == text) Queue(rule.notification);
    return TRUE;
}

class Listener : public clientapi::Listener {
public:
    void OnDiscover(HWND, int kind, HWND bridge) override {
        if (kind == g.kind) HandleDiscover(bridge);
    }
    LRESULT OnCopyData(HWND, HWND from, const COPYDATASTRUCT* block) override { return HandleCopyData(from, block); }
    bool OnOther(HWND window, UINT message, WPARAM wparam, LPARAM) override {
        if (message == WM_SEND_QUEUED) {
            SendQueued();
        } else if (message == WM_TIMER && wparam == kRunTimer) {
            Line("run time over");
            PostQuitMessage(0);
        } else if (message == WM_TIMER && wparam >= kFirstNotifyTimer &&
                   wparam < kFirstNotifyTimer + g.notifications.size()) {
            KillTimer(window, wparam);
            Queue(g.notifications[wparam - kFirstNotifyTimer].notification);
        } else {
            return message == WM_TIMER;
        }
        return true;
    }
};

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // plain line feeds, as the Unix side reads them
    if (!Parse(argc, argv)) {
        std::fprintf(stderr,
                     "usage: client-standin [--kind skype|softphone] [--status S[,S...]] "
                     "[--reply COMMAND=>NOTIFICATION]... [--notify MS=>NOTIFICATION]... [--run MS]\n");
        return 2;
    }
    static Listener listener;
    std::string error;
    if (!g.windows.Open("BridgerClientStandin", listener, error)) return 1;
    g.self = g.windows.Create("client stand-in");
    if (!g.self) return 1;
    SetTimer(g.self, kRunTimer, g.runMs, nullptr);
    Line("ready");
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DestroyWindow(g.self);
    return 0;
}

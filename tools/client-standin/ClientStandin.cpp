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
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

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
#include "client/ClientTexts.h"

namespace {

constexpr UINT WM_SEND_QUEUED = WM_APP + 1;
constexpr UINT_PTR kRunTimer = 1;
constexpr UINT_PTR kFirstNotifyTimer = 100;
constexpr DWORD kSendTimeoutMs = 5000;

struct Rule {
    std::string command;
    std::string notification;
};

struct Scheduled {
    unsigned delayMs;
    std::string notification;
};

struct Standin {
    std::string discoverName = client::kDiscoverNames[0];
    std::string attachName = client::kAttachNames[0];
    std::vector<long> statuses{0};
    std::size_t nextStatus = 0;
    std::vector<Rule> replies;
    std::vector<Scheduled> notifications;
    unsigned runMs = 30000;

    UINT discoverMsg = 0;
    UINT attachMsg = 0;
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
                g.discoverName = client::kDiscoverNames[1];
                g.attachName = client::kAttachNames[1];
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
        COPYDATASTRUCT block;
        block.dwData = 0;
        block.cbData = static_cast<DWORD>(text.size() + 1);
        block.lpData = const_cast<char*>(text.c_str());
        Line("client< " + text);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(g.bridge, WM_COPYDATA, reinterpret_cast<WPARAM>(g.self), reinterpret_cast<LPARAM>(&block),
                            SMTO_NORMAL, kSendTimeoutMs, &result);
    }
}

void OnDiscover(HWND bridge) {
    g.bridge = bridge;
    Line("discover");
    const long status = g.statuses[g.nextStatus < g.statuses.size() ? g.nextStatus : g.statuses.size() - 1];
    ++g.nextStatus;
    Line("attach " + std::to_string(status));
    PostMessageA(bridge, g.attachMsg, reinterpret_cast<WPARAM>(g.self), static_cast<LPARAM>(status));
    if (status == 0) {
        for (std::size_t i = 0; i < g.notifications.size(); ++i)
            SetTimer(g.self, kFirstNotifyTimer + i, g.notifications[i].delayMs, nullptr);
    }
}

LRESULT OnCopyData(HWND from, const COPYDATASTRUCT* block) {
    if (!block) return FALSE;
    if (block->dwData != 0) {
        std::uint32_t value = 0;
        if (block->lpData && block->cbData >= sizeof value) std::memcpy(&value, block->lpData, sizeof value);
        Line("code " + std::to_string(block->dwData) + " value " + std::to_string(value));
        if (block->dwData == static_cast<ULONG_PTR>(kClientExitCode)) PostQuitMessage(0);
        return TRUE;
    }
    const char* bytes = static_cast<const char*>(block->lpData);
    std::size_t length = 0;
    while (bytes && length < block->cbData && bytes[length] != '\0') ++length;
    const std::string text(bytes ? bytes : "", length);
    if (from) g.bridge = from;
    Line("client> " + text);
    for (const Rule& rule : g.replies)
        if (rule.command == text) Queue(rule.notification);
    return TRUE;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != 0 && message == g.discoverMsg) {
        OnDiscover(reinterpret_cast<HWND>(wparam));
        return 0;
    }
    switch (message) {
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<HWND>(wparam), reinterpret_cast<const COPYDATASTRUCT*>(lparam));
    case WM_SEND_QUEUED:
        SendQueued();
        return 0;
    case WM_TIMER:
        if (wparam == kRunTimer) {
            Line("run time over");
            PostQuitMessage(0);
        } else if (wparam >= kFirstNotifyTimer && wparam < kFirstNotifyTimer + g.notifications.size()) {
            KillTimer(window, wparam);
            Queue(g.notifications[wparam - kFirstNotifyTimer].notification);
        }
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // plain line feeds, as the Unix side reads them
    if (!Parse(argc, argv)) {
        std::fprintf(stderr,
                     "usage: client-standin [--kind skype|softphone] [--status S[,S...]] "
                     "[--reply COMMAND=>NOTIFICATION]... [--notify MS=>NOTIFICATION]... [--run MS]\n");
        return 2;
    }
    g.discoverMsg = RegisterWindowMessageA(g.discoverName.c_str());
    g.attachMsg = RegisterWindowMessageA(g.attachName.c_str());
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "BridgerClientStandin";
    if (!g.discoverMsg || !g.attachMsg || !RegisterClassA(&wc)) return 1;
    // A hidden top-level window: broadcasts reach those, message-only windows they do not.
    g.self = CreateWindowA(wc.lpszClassName, "client stand-in", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                           wc.hInstance, nullptr);
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

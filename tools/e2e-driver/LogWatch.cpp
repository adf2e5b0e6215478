#include "tools/e2e-driver/LogWatch.h"

#include <vector>

#include "res/resource.h"
#include "tools/e2e-driver/WindowText.h"

namespace e2e {

namespace {

// A line as the list holds it. Wine's SendMessageTimeout loses LB_GETTEXT's text between
// processes, SendMessage carries it: it is sent only once the list has answered.
bool ItemText(HWND list, LRESULT index, std::string& text) {
    LRESULT length = 0;
    if (!Ask(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0, length) || length < 0) return false;
    std::vector<wchar_t> wide(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.data()));
    if (got < 0 || got > length) return false;
    text = Utf8(wide.data(), static_cast<int>(got));
    return true;
}

}  // namespace

void LogWatch::Look(HWND debug, double sinceMs) {
    if (debug != window_) {
        // A new debug window starts with empty lists, made after the previous look.
        window_ = debug;
        logs_[0] = List{IDC_DEVICE_LOG, "device-log", 0, sinceMs};
        logs_[1] = List{IDC_VOIP_LOG, "voip-log", 0, sinceMs};
    }
    if (!debug) return;
    for (List& log : logs_)
        if (HWND list = GetDlgItem(debug, log.id)) Read(list, log);
}

void LogWatch::Read(HWND list, List& log) {
    // A line new now was added after the list answered the count before, and it is
    // there when this count is answered: both reads can wait for the bridge's loop.
    const double asked = recorder_.NowMs();
    LRESULT count = 0;
    if (!Ask(list, LB_GETCOUNT, 0, 0, count)) return;
    if (count <= log.known) {
        log.askedMs = asked;
        return;
    }
    // New lines are inserted on top: the oldest new one is the lowest of them.
    std::vector<std::string> added;
    for (LRESULT i = count - log.known - 1; i >= 0; --i) {
        std::string text;
        if (!ItemText(list, i, text)) return;
        added.push_back(text);
    }
    LRESULT after = 0;
    // A line that arrived meanwhile moved them down: read again at the next look.
    if (!Ask(list, LB_GETCOUNT, 0, 0, after) || after != count) return;
    const double seen = recorder_.NowMs();
    for (const std::string& text : added) recorder_.AddBetween(log.askedMs, seen, log.kind, text);
    log.known = count;
    log.askedMs = asked;
}

}  // namespace e2e

// The VoIP client's side of the desktop API on Windows, shared by client-standin.exe and
// the e2e-driver: the kinds' registered messages, hidden top-level windows (a broadcast
// reaches those, message-only windows it does not), the attach message and WM_COPYDATA both
// ways. What the client answers is up to whoever listens.
#pragma once
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace clientapi {

// A client's kind: the index of its messages' names in client::kDiscoverNames/kAttachNames.
constexpr int kSkype = 0;
constexpr int kSoftPhone = 1;
constexpr int kKinds = 2;

// What reaches the windows of one ApiWindows.
class Listener {
public:
    virtual ~Listener() = default;
    // The discover broadcast of a kind, from the bridge's window.
    virtual void OnDiscover(HWND window, int kind, HWND bridge) = 0;
    // A WM_COPYDATA message (the block may be null); its result.
    virtual LRESULT OnCopyData(HWND window, HWND from, const COPYDATASTRUCT* block) = 0;
    // Any other message; false leaves it to the default procedure.
    virtual bool OnOther(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        (void)window, (void)message, (void)wparam, (void)lparam;
        return false;
    }
};

class ApiWindows {
public:
    // Registers both kinds' messages and the window class (which another ApiWindows of the
    // process may have registered already); false, and why, when it cannot.
    bool Open(const char* className, Listener& listener, std::string& error);
    // A hidden top-level window of the class (null when it cannot be made).
    HWND Create(const char* title) const;
    // The kind's attach message with this status to the bridge, naming `from` as the client.
    void PostAttach(HWND bridge, int kind, HWND from, long status) const;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    std::string className_;
    Listener* listener_ = nullptr;
    UINT discover_[kKinds] = {0, 0};
    UINT attach_[kKinds] = {0, 0};
};

// The text a copy-data block carries: its bytes up to the first NUL, never past its size.
std::string CopyDataText(const COPYDATASTRUCT* block);
// How long a client waits for the bridge to take a notification.
constexpr UINT kSendTimeoutMs = 5000;
// Sends the bytes to the bridge as a WM_COPYDATA with tag 0, from the client's window;
// false when the bridge did not take it in time.
bool SendCopyData(HWND bridge, HWND from, const void* bytes, DWORD size, UINT timeoutMs = kSendTimeoutMs);

}  // namespace clientapi

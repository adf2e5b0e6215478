// Registered window messages, the broadcast and copy-data between top-level windows.
#pragma once
#include <string>

#include "platform/Types.h"

namespace plat {

class Messages {
public:
    virtual ~Messages() = default;
    // RegisterWindowMessageA: the same name gives the same number; 0 on failure.
    virtual unsigned Register(const std::string& name) = 0;
    // Sends the message to every top-level window (HWND_BROADCAST), waiting a short while
    // for each and not at all for one that has stopped reading its messages: one hung
    // program must not hold the bridge (which still gets messages sent to it meanwhile).
    virtual void Broadcast(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) = 0;
    // Synchronous WM_COPYDATA from `from` to `to`; the receiver's result.
    virtual std::intptr_t SendCopyData(WindowHandle to, WindowHandle from, const CopyData& data) = 0;
    // IsWindow: any top-level or child window of any process.
    virtual bool IsWindow(WindowHandle window) const = 0;
};

}  // namespace plat

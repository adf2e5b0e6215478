// Registered window messages, the discover broadcast and WM_COPYDATA between processes.
#pragma once
#include "platform/Messages.h"

namespace win32 {

class Win32Messages : public plat::Messages {
public:
    unsigned Register(const std::string& name) override;
    void Broadcast(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) override;
    std::intptr_t SendCopyData(plat::WindowHandle to, plat::WindowHandle from, const plat::CopyData& data) override;
    bool IsWindow(plat::WindowHandle window) const override;
};

}  // namespace win32

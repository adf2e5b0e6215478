// The process's session through the terminal-services API.
#pragma once
#include "platform/Session.h"

namespace win32 {

class Win32Session : public plat::Session {
public:
    bool Watch(plat::WindowHandle window) override;
    void Unwatch(plat::WindowHandle window) override;
    bool AtConsole() override;
};

}  // namespace win32

// The log files.
#pragma once
#include "platform/Files.h"

namespace win32 {

// The runtime's buffered text-mode files: a line feed reaches the disk as CR LF.
class Win32Files : public plat::Files {
public:
    plat::Handle Create(const std::string& name) override;
    void WriteLine(plat::Handle file, const std::string& text) override;
    void Close(plat::Handle file) override;
};

}  // namespace win32

// Buffered text-mode output files (the logs).
#pragma once
#include <string>

#include "platform/Types.h"

namespace plat {

class Files {
public:
    virtual ~Files() = default;
    // Create (truncating), exclusive sharing, text mode; kNullHandle on failure.
    virtual Handle Create(const std::string& name) = 0;
    // Writes the text and a line end (CR LF on disk); nothing on kNullHandle.
    virtual void WriteLine(Handle file, const std::string& text) = 0;
    virtual void Close(Handle file) = 0;
};

}  // namespace plat

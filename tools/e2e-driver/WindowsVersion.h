// The Windows version Wine reports to one program, set in the prefix's registry before it
// starts (on Windows itself the value is ignored and the real version stands).
#pragma once
#include <string>

#include "platform/Types.h"

namespace e2e {

bool SetReportedVersion(const std::string& exe, const plat::OsVersion& os, std::string& error);

}  // namespace e2e

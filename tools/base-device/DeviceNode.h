// Adds and removes the virtual base station's device node through SetupAPI, as a user's
// plugging and unplugging would add and remove a USB device.
#pragma once
#include <string>

namespace basedev {

// Creates the root-enumerated device and installs the minidriver from the INF on it; false
// (with why) when SetupAPI refuses.
bool Plug(const std::string& infPath, std::string& error);
// Removes every device node of the virtual base; false (with why) when one stays.
bool Unplug(std::string& error);
// How many device nodes of the virtual base exist.
int Count();

}  // namespace basedev

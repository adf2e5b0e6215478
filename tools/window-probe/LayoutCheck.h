// Layout checks of dialogs: every control inside its dialog's client area, a property
// page inside its sheet's tab, and (for windows of the probe's own process, whose fonts it
// can use) every label's text inside its control.
#pragma once
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <vector>

namespace probe {

// Adds a line to problems for every child of dialog (and of its child dialogs, the pages)
// that reaches out of its parent's client area. name prefixes the lines. visibleOnly
// leaves out hidden children (the sheet's own unused buttons).
void CheckPlacement(HWND dialog, const std::string& name, bool visibleOnly, std::vector<std::string>& problems);

// Adds a line for every visible static, button, radio, group box and one-line box of dialog
// whose text does not fit its control in the control's font. Only for windows of this
// process.
void CheckTextFits(HWND dialog, const std::string& name, std::vector<std::string>& problems);

std::string Utf8(const std::wstring& text);

}  // namespace probe

// desktop-probe's shared pieces: its options and how it finds a program's windows.
#pragma once
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tools/window-probe/Options.h"

namespace desktop {

using probe::Options;

// Prints one line and flushes it, so a test reading the output as it grows sees it at once.
void Say(const char* format, ...);

// The ids of the running processes whose executable has this name (case ignored).
std::vector<DWORD> ProcessesNamed(const std::string& exe);
// The top-level windows of those processes.
std::vector<HWND> WindowsOf(const std::string& exe);
// The bridge's hidden main dialog in that process (a dialog without caption or title).
HWND MainDialogOf(const std::string& exe);

// The verbs (each returns the exit code: 0 done, 1 not seen in time, 2 bad arguments).
int TrayVerb(const Options& o);
int EndSessionVerb(const Options& o);
int HangVerb(const Options& o);
int ModulesVerb(const Options& o);
int SessionVerb(const Options& o);
int ParentVerb(const Options& o);

}  // namespace desktop

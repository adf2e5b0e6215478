// What the parts of window-probe share: its command line, its output, and the search for
// windows of other processes.
#pragma once
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Options.h"

namespace probe {

constexpr int kMessageTextId = 0xFFFF;  // the static that holds a message box's text

// Prints format with its two %s filled from a and b, at once (a test reads it as it comes).
void Say(const char* format, const std::string& a = std::string(), const std::string& b = std::string());

std::string ClassOf(HWND window);
// The window's text, empty if it does not answer in time.
std::string TextOf(HWND window);
std::wstring WideTextOf(HWND window);
// The top-level windows (of the named process, if one is given) that pass the test.
std::vector<HWND> TopLevel(const std::string& process, const std::function<bool(HWND)>& test);
bool IsDialogClass(HWND window);
// The bridge's main dialog: a dialog with no caption and an empty title.
bool IsMainDialog(HWND window);
// Polls until find() yields a window or the time is up.
HWND WaitFor(long timeoutMs, const std::function<HWND()>& find);
HWND FindMain(const std::string& process, bool hidden);
HWND FindByCaption(const std::string& process, const std::string& caption, bool visibleOnly);
// The control with this id in the window or in one of its child dialogs (a sheet's page).
HWND FindControl(HWND window, int id);

// The verbs; each returns the exit code.
int MessageBoxVerb(const Options& o);
int MainVerb(const Options& o);
int WindowVerb(const Options& o);
int ClickByTitleVerb(const Options& o);
int CommandVerb(const Options& o);
int VersionVerb(const Options& o);
int TextVerb(const Options& o);
int FirstCharVerb(const Options& o);
int KeyVerb(const Options& o);
int ShownVerb(const Options& o, bool wantShown);
int ClickVerb(const Options& o);
int SysCommandVerb(const Options& o);
int CodePageVerb();
int LayoutVerb(const Options& o);
int TemplatesVerb(const Options& o);

}  // namespace probe

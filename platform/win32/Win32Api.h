// The Windows headers for the backend, and nothing else of the bridge may see them. Their
// A/W name macros would rename the platform interfaces' own members (MessageBox,
// LoadString, CreateMutex, ...), so they are undone here and the backend calls the A
// functions by their full names.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <setupapi.h>
#include <shellapi.h>
extern "C" {
#include <hidsdi.h>
}

#undef MessageBox
#undef LoadString
#undef LoadMenu
#undef CreateMutex
#undef OpenMutex
#undef CreateEvent
#undef SetWindowText
#undef GetWindowText
#undef SetDlgItemText
#undef GetDlgItemText
#undef DefWindowProc
#undef CreateDialog
#undef GetClassName
#undef IsDialogMessage
#undef SendMessage
#undef PostMessage

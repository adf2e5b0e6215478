// How an expect line of a scenario is checked on the real build, where the driver sees the
// bridge only from outside. Kinds and how each is seen:
//   usb> usb<            the virtual base's pipe (every report the HID stack carries)
//   client> client<      the client's window (WM_COPYDATA both ways)
//   broadcast attach     the client's windows (the registered messages)
//   status N TEXT        the information window's STATUS box, read at every look; the
//                        code is the one whose text the box shows ("USB READY" is 8 from
//                        the base's return until its first keep-alive report, then 2)
//   msgbox window exit   the bridge's top-level windows and its process (the process's
//                        exit code, not the main dialog's result)
//   file                 the log files' sharing lock in the working folder
//   device-log voip-log  the debug window's two lists, while it is open (without the
//                        minute and second, which follow the real clock)
//   control              `ui show` reads the window's controls (text, enabled, visible,
//                        checked, sel, items); an expect re-reads them until it holds
//   tray balloon         the driver's own notification area (Wine runs none without a
//                        desktop): the records Shell_NotifyIcon hands over; `tray menu`
//                        is a popup menu of the bridge
//   shell                the driver as the prefix's handler of web addresses
// Not visible from outside: the device thread's state (`thread`), the main dialog's result,
// which icon an icon control shows and the items of a popup menu (another process's icon
// and menu handles cannot be read under Wine). Such a check is reported, never counted as
// held; where part of a line can be seen (the end, the control, the menu), that part is.
//
// A scenario can say that one of its checks cannot be made in real time, in a comment on
// the line before it: "# not checked on the real build: WHAT (WHY)". It is reported with
// that reason and never counted as held. "# not played on the real build: WHY" says so of
// the whole file; tools/play-on-wine.sh --all reports it instead of playing it.
#pragma once
#include <istream>
#include <map>
#include <string>

namespace e2e {

struct Check {
    std::string kind;    // the transcript kind the line names, or "" for a bare text
    std::string text;    // what is looked for in the transcript; "" when nothing of it can be
    std::string unseen;  // what of the line cannot be checked from outside: "WHAT (WHY)"
};

// The plan for the TEXT of `expect TEXT` or `expect-not TEXT`.
Check PlanCheck(const std::string& expectText);

// A transcript line in the form an expect's text is compared with: "KIND TEXT", a log
// line without its minute and second.
std::string Comparable(const std::string& kind, const std::string& text);

// The lines (from 1) of a scenario's commands marked as not checked, with the reason.
std::map<int, std::string> MarkedChecks(std::istream& scenario);

}  // namespace e2e

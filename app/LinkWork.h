// The device link at work on the UI thread: a poll, a report handled as it arrives, a
// handset update or one of the link's timers. While one runs no poll starts, and message
// boxes and menus wait until it is over (CBridgeDlg::AtRest), so that no poll ever runs
// inside another, not even inside a message box's or a menu's loop opened by one.
#pragma once
#include "app/BridgeDlg.h"

class LinkWork {
public:
    explicit LinkWork(CBridgeDlg& dlg) : dlg_(dlg) { ++dlg_.m_nLinkWork; }
    ~LinkWork() {
        if (--dlg_.m_nLinkWork == 0) dlg_.RunAtRest();
    }
    LinkWork(const LinkWork&) = delete;
    LinkWork& operator=(const LinkWork&) = delete;

    // Work of the link is running: a poll or a report must wait for the next tick.
    static bool Busy(const CBridgeDlg& dlg) { return dlg.m_nLinkWork > 0; }

private:
    CBridgeDlg& dlg_;
};

// The string-table text the information window's STATUS box shows for each status code.
#pragma once
#include "app/BridgeDlg.h"
#include "res/resource.h"

// 0 for a code without a text (the box then keeps the last one).
constexpr int StatusStringId(int status) {
    switch (status) {
        case STATUS_OFF_HOOK: return IDS_OFF_HOOK;
        case STATUS_READY: return IDS_USB_READY;
        case STATUS_PRESS: return IDS_PRESS;
        case STATUS_CALL_OUT: return IDS_CALL_OUT;
        case STATUS_IN_CALL: return IDS_INCOMMING;
        case STATUS_BASE_ABSENT: return IDS_USB_DISCONNECTED;
        case STATUS_RINGING: return IDS_RINGING;
        case STATUS_BASE_FOUND: return IDS_USB_READY;
        case STATUS_TEST_FAILED: return IDS_RESTART_BASE;
        default: return 0;
    }
}

// Every code that has a text, for those who read the box from outside.
constexpr int kStatusCodes[] = {STATUS_OFF_HOOK, STATUS_READY,  STATUS_PRESS,      STATUS_CALL_OUT,   STATUS_IN_CALL,
                                STATUS_BASE_ABSENT, STATUS_RINGING, STATUS_BASE_FOUND, STATUS_TEST_FAILED};

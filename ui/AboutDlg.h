// CAboutDlg: the About box, opened from the debug window's system menu.
#pragma once
#include "platform/Dialog.h"

class CAboutDlg : public plat::Dialog {
public:
    CAboutDlg();
    // "OK" ends the box.
    bool OnCommand(int id) override;
};

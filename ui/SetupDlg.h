// CSetupDlg: shown instead of the bridge for the "VOIP" command line.
#pragma once
#include "platform/Dialog.h"

class CSetupDlg : public plat::Dialog {
public:
    CSetupDlg();
    bool OnCommand(int id) override;
};

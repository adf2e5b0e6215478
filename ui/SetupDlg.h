// CSetupDlg: shown instead of the bridge for the "VOIP" command line.
#pragma once
#include "platform/Dialog.h"

class CSetupDlg : public plat::Dialog {
public:
    // The client's download page, opened by button 1004, and the host name it shows.
    static constexpr const char* kDownloadUrl = "http://www.skype.com/download/";
    static constexpr const char* kDownloadHost = "www.skype.com";

    CSetupDlg();
    bool OnCommand(int id) override;
};

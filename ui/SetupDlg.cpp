#include "ui/SetupDlg.h"

#include "platform/Platform.h"
#include "res/resource.h"

CSetupDlg::CSetupDlg() : plat::Dialog(IDD_SETUP) {}

bool CSetupDlg::OnCommand(int id) {
    if (id == IDOK) {
        // Ended here rather than by the backend's default, so every backend closes it alike.
        EndDialog(IDOK);
        return true;
    }
    if (id != IDC_SETUP_LINK) return false;
    // The result is not checked: without a browser nothing is reported, and the dialog
    // stays open so the button can be pressed again.
    plat::system().ShellOpen(Handle(), kDownloadUrl);
    return true;
}

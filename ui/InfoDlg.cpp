#include "ui/InfoDlg.h"

#include <string>

#include "app/BridgeDlg.h"
#include "res/resource.h"

namespace {

// The run-time caption: product, version and a trailing blank, in every language.
const std::string kInfoProduct = "Information R-517";
const std::string kInfoVersion = " V1.2";
const std::string kInfoTrailer = " ";

}  // namespace

CInfoDlg::CInfoDlg(CBridgeDlg* owner) : plat::Dialog(IDD_INFO), m_pOwner(owner) {}

bool CInfoDlg::OnInitDialog() {
    SetWindowIcon(IDI_APP, false);
    // The large one for its taskbar button and Alt+Tab.
    SetWindowIcon(IDI_APP, true);
    // The owner stored its pointer to this window before creating it, so the boxes are
    // filled now rather than at the next status change.
    if (m_pOwner) m_pOwner->UpdateInfoDialog();
    SetWindowText(RuntimeCaption());
    ShowWindow(true);
    return true;
}

std::string CInfoDlg::RuntimeCaption() { return kInfoProduct + kInfoVersion + kInfoTrailer; }

bool CInfoDlg::OnCommand(int id) {
    // Ended as a modal dialog would be, the window would only hide, and the next "Info"
    // would raise a window nobody can see.
    if (id != IDOK && id != IDCANCEL) return false;
    OnClose();
    return true;
}

void CInfoDlg::OnClose() {
    // The object stays until the owner replaces or deletes it.
    DestroyWindow();
}

#include "ui/AboutDlg.h"

#include "res/resource.h"

// Everything the About box shows is in its template.
CAboutDlg::CAboutDlg() : plat::Dialog(IDD_ABOUTBOX) {}

bool CAboutDlg::OnCommand(int id) {
    if (id != IDOK) return false;
    // Ended here rather than by the backend's default, so every backend closes it alike.
    EndDialog(IDOK);
    return true;
}

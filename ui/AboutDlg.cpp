#include "ui/AboutDlg.h"

#include "res/resource.h"

// Everything the About box shows is in its template; its "OK" ends it.
CAboutDlg::CAboutDlg() : plat::Dialog(IDD_ABOUTBOX) {}

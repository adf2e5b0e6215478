#include "ui/OptionsSheet.h"

#include "app/BridgeDlg.h"
#include "platform/Platform.h"
#include "res/resource.h"

COptionsSheet::COptionsSheet(const std::string& caption, CBridgeDlg* parent)
    : m_strCaption(caption), m_pParent(parent), m_page(parent) {
    m_page.HeldBy(this);
}

COptionsSheet::~COptionsSheet() {
    // The frame first: a sheet must not outlive its only page.
    DestroyWindow();
}

bool COptionsSheet::Create() {
    const plat::WindowHandle owner = m_pParent ? m_pParent->Handle() : 0;
    m_hSheet = plat::windows().CreateModelessSheet(m_strCaption, IDD_SETTING, m_page, owner);
    return m_hSheet != 0;
}

bool COptionsSheet::IsWindow() const {
    // The page's window lives exactly as long as the frame's and its handle is let go
    // when it is destroyed, so a reused frame handle never counts.
    return m_hSheet != 0 && plat::windows().Exists(m_hSheet) && m_page.IsWindow();
}

void COptionsSheet::DestroyWindow() {
    if (m_hSheet != 0 && plat::windows().Exists(m_hSheet)) plat::windows().Destroy(m_hSheet);
    m_hSheet = 0;
}

void COptionsSheet::ShowWindow(bool show) {
    if (IsWindow()) plat::windows().Show(m_hSheet, show);
}

void COptionsSheet::SetForegroundWindow() {
    if (IsWindow()) plat::windows().ToForeground(m_hSheet);
}

void COptionsSheet::OnClose() { DestroyWindow(); }

// CInfoDlg: the small information window (client ready, status text, number or name).
#pragma once
#include <string>

#include "platform/Dialog.h"

class CBridgeDlg;

class CInfoDlg : public plat::Dialog {
public:
    // owner: the main dialog, whose UpdateInfoDialog fills the boxes.
    explicit CInfoDlg(CBridgeDlg* owner);

    bool OnInitDialog() override;
    // Enter and Esc close the window as its close box does.
    bool OnCommand(int id) override;
    void OnClose() override;
    // "Information R-517 V1.2 " (trailing blank): the caption in every language.
    static std::string RuntimeCaption();

    CBridgeDlg* m_pOwner;
};

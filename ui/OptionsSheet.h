// COptionsSheet: the modeless options sheet with its one page, CSettingPage, where the
// user manages the base station (delete, paging, loopback, version, registration).
#pragma once
#include <cstdint>
#include <string>

#include "platform/Dialog.h"

class CBridgeDlg;
class COptionsSheet;

class CSettingPage : public plat::Dialog {
public:
    explicit CSettingPage(CBridgeDlg* owner);

    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    // The close box reaches the page where the sheet and its page are one window.
    void OnClose() override;

    void OnExecute();
    void OnRegister();
    void OnAllReset();
    // Called by the main dialog while the sheet's window exists.
    void SetLightOff();
    void SetVersionText(const std::uint8_t* bytes, int length);
    void EnableActionButtons(int enable);
    // The sheet that holds the page, told of its close box.
    void HeldBy(COptionsSheet* sheet) { m_pSheet = sheet; }

    CBridgeDlg* m_pOwner;
    COptionsSheet* m_pSheet = nullptr;  // set by the sheet that holds the page (HeldBy)
    std::string m_strHidden;  // shown in the hidden edit 1059 at opening; nothing reads it back
    std::string m_strLoopbackLabel;    // string 117
    std::string m_strGetVersionLabel;  // string 122

private:
    // The radio clicks: which of the option controls each one enables.
    void EnableOptions(int radio);
    // The paging argument: the selected item, or the item the typed text names; -1 for none.
    int PagingChoice() const;
};

class COptionsSheet {
public:
    // caption: string 108; the page is added here, page 0 selected.
    COptionsSheet(const std::string& caption, CBridgeDlg* parent);
    ~COptionsSheet();
    COptionsSheet(const COptionsSheet&) = delete;
    COptionsSheet& operator=(const COptionsSheet&) = delete;

    // Creates the sheet's window modeless with the default styles; false on failure.
    bool Create();
    bool IsWindow() const;
    void DestroyWindow();
    void ShowWindow(bool show);
    void SetForegroundWindow();
    // WM_CLOSE: the default handling, then the window goes; the object stays.
    void OnClose();
    // The settings page the sheet holds.
    CSettingPage& Page() { return m_page; }

    std::string m_strCaption;
    CBridgeDlg* m_pParent;
    CSettingPage m_page;
    plat::WindowHandle m_hSheet = 0;
};

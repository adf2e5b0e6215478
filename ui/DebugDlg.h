// CDebugDlg: the debug window. Two running logs (device and VoIP), each shown newest
// first in its list box and written to a text file; "Save" starts a new pair of files.
#pragma once
#include "platform/Dialog.h"
#include "platform/Types.h"

class CBridgeDlg;

// Which log a line belongs to.
enum LogKind { LOG_DEVICE = 1, LOG_VOIP = 2 };

class CDebugDlg : public plat::Dialog {
public:
    // owner: the main dialog, for the commands that act on the bridge.
    explicit CDebugDlg(CBridgeDlg* owner);
    ~CDebugDlg() override;

    // Writes the text and a line end to the kind's file, then inserts it on top of the
    // kind's list box. Any other kind does nothing.
    void AddLogLine(int kind, const char* text);
    // Opens usb%d.txt and voip%d.txt with the process-wide counter; the number opened.
    int OpenLogFiles();
    // Closes the current pair, then OpenLogFiles.
    int RotateLogFiles();

    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnClose() override;
    bool OnSysCommand(unsigned id) override;
    int MinimisedIcon() const override { return m_hIcon; }

    CBridgeDlg* m_pOwner;
    int m_hIcon;  // icon resource of the window
    plat::Handle m_fileUsb = plat::kNullHandle;
    plat::Handle m_fileVoip = plat::kNullHandle;

private:
    // Command 1009: the first line of the debug edit, sent as a client command.
    void SendEditLine();
};

// Process start: the next debug window writes usb0.txt and voip0.txt again.
void ResetLogFileCounter();

#include "app/BridgeApp.h"

#include <memory>

#include "app/BridgeDlg.h"
#include "platform/Platform.h"
#include "ui/SetupDlg.h"

bool CBridgeApp::InitInstance() {
    plat::System& system = plat::system();
    system.InitCommonControls();

    const std::string commandLine = system.CommandLine();
    if (commandLine.rfind(kSetupWord, 0) == 0) {
        // No mutex: the Setup dialog may run beside a bridge.
        CSetupDlg setup;
        setup.DoModal(nullptr);
        return false;
    }

    // One step, so that two bridges started at once cannot both find no mutex and go on.
    bool running = false;
    const plat::Handle mutex = system.CreateMutex(kMutexName, true, running);
    if (running) {
        // Our own handle to the other instance's mutex must not keep it alive.
        system.CloseHandle(mutex);
        plat::windows().MessageBoxNoOwner(kAlreadyRunning);
        return false;
    }
    {
        // On the heap: the dialog embeds the HID transport with its report ring.
        auto dlg = std::make_unique<CBridgeDlg>();
        dlg->DoModal(nullptr);
        dlg->DestroyWindow();
    }
    if (mutex != plat::kNullHandle) {
        system.ReleaseMutex(mutex);
        system.CloseHandle(mutex);
    }
    return false;
}

int BridgerMain() {
    CBridgeApp app;
    app.InitInstance();
    return 0;
}

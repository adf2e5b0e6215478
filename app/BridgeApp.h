// CBridgeApp: reads the command line, enforces one running bridge, runs the main dialog.
#pragma once
#include <string>

class CBridgeApp {
public:
    static constexpr const char* kMutexName = "QVZ";
    static constexpr const char* kAlreadyRunning = "The application is running";

    // Always false: the process ends when this returns.
    bool InitInstance();
};

// What a backend's entry point calls once the platform is installed; the process's exit code.
int BridgerMain();

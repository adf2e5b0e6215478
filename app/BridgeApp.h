// CBridgeApp: reads the command line, enforces one running bridge, runs the main dialog.
#pragma once
#include <string>

class CBridgeApp {
public:
    static constexpr const char* kMutexName = "QVZ";
    static constexpr const char* kAlreadyRunning = "The application is running";
    // Command-line words: a case-sensitive prefix shows the Setup dialog instead of the
    // bridge; a prefix opens the debug window; the whole line also mutes the log writers.
    static constexpr const char* kSetupWord = "VOIP";
    static constexpr const char* kDebugWindowWord = "QOPA";
    static constexpr const char* kDebugModeLine = "DEBUG";

    // Always false: the process ends when this returns.
    bool InitInstance();
};

// What a backend's entry point calls once the platform is installed; the process's exit code.
int BridgerMain();

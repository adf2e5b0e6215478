// The services a backend installs before the bridge starts.
#pragma once
#include "platform/Files.h"
#include "platform/HidBus.h"
#include "platform/Messages.h"
#include "platform/Resources.h"
#include "platform/Session.h"
#include "platform/System.h"
#include "platform/Threads.h"
#include "platform/Tray.h"
#include "platform/WaveOut.h"
#include "platform/Windows.h"

namespace plat {

struct Platform {
    Windows* windows = nullptr;
    Messages* messages = nullptr;
    Tray* tray = nullptr;
    HidBus* hid = nullptr;
    WaveOut* waveOut = nullptr;
    System* system = nullptr;
    Resources* resources = nullptr;
    Files* files = nullptr;
    Threads* threads = nullptr;
    Session* session = nullptr;
};

// Installs the backend; every service must be set.
void Install(const Platform& platform);

Windows& windows();
Messages& messages();
Tray& tray();
HidBus& hid();
WaveOut& waveOut();
System& system();
Resources& resources();
Files& files();
Threads& threads();
Session& session();

}  // namespace plat

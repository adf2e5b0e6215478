// Every platform service of one simulated process, with its peers: the simulated base
// station on the HID bus and the simulated VoIP client behind the copy-data channel.
#pragma once
#include <string>

#include "platform/Platform.h"
#include "platform/headless/EventLoop.h"
#include "platform/headless/HeadlessHid.h"
#include "platform/headless/HeadlessMessages.h"
#include "platform/headless/HeadlessFiles.h"
#include "platform/headless/HeadlessResources.h"
#include "platform/headless/HeadlessSession.h"
#include "platform/headless/HeadlessThreads.h"
#include "platform/headless/HeadlessWaveOut.h"
#include "platform/headless/HeadlessSystem.h"
#include "platform/headless/HeadlessTray.h"
#include "platform/headless/HeadlessWindows.h"
#include "tools/sim/SimBase.h"
#include "tools/sim/SimClient.h"
#include "tools/world/Recorder.h"

namespace sim {

res::Lang LangOf(const std::string& name);  // "zh-TW" or English

class HeadlessPlatform {
public:
    static constexpr std::uint16_t kBaseVendorId = 0x0E5E;
    static constexpr std::uint16_t kBaseProductId = 0x6611;
    static constexpr const char* kBasePath =
        "\\\\?\\hid#vid_0e5e&pid_6611#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    static constexpr const char* kBaseWaveDevice = "VA6 USB Audio";

    HeadlessPlatform(res::Lang lang, plat::TimeOfDay clock, plat::OsVersion os);
    HeadlessPlatform(const HeadlessPlatform&) = delete;
    HeadlessPlatform& operator=(const HeadlessPlatform&) = delete;

    // The services as the bridge reaches them.
    plat::Platform Services();
    void Install() { plat::Install(Services()); }

    void PlugBase();
    void UnplugBase();
    bool BasePlugged() const { return basePlugged_; }
    // The base's place on the HID bus (-1 before it was first plugged in).
    int BaseDevice() const { return baseDevice_; }
    // The simulated client's process: one of another kind takes the place of the one running.
    void StartClient(ClientKindSim kind);

    res::Lang Lang() const { return lang_; }
    EventLoop loop;
    scn::Transcript transcript;
    Recorder recorder;  // the services' effects into the transcript
    SimBase base;
    SimClient client;
    HeadlessWindows windows;
    HeadlessMessages messages;
    HeadlessTray tray;
    HeadlessHid hid;
    HeadlessWaveOut waveOut;
    HeadlessSystem system;
    HeadlessResources resources;
    HeadlessFiles files;
    HeadlessThreads threads;
    HeadlessSession session;

private:
    res::Lang lang_;
    int baseDevice_ = -1;
    bool basePlugged_ = false;
};

}  // namespace sim

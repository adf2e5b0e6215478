#include "tools/world/HeadlessPlatform.h"

namespace sim {

res::Lang LangOf(const std::string& name) {
    return name == "zh-TW" ? res::Lang::TraditionalChinese : res::Lang::English;
}

HeadlessPlatform::HeadlessPlatform(res::Lang lang, plat::TimeOfDay clock, plat::OsVersion os)
    : recorder(transcript, [this] { return loop.Now(); }),
      windows(loop, recorder, lang),
      messages(loop, recorder, windows, client),
      tray(recorder, lang, windows),
      hid(recorder, [this] { return loop.Now(); }),
      system(loop, recorder, clock, os),
      resources(lang),
      files(recorder),
      threads(recorder),
      lang_(lang) {
    base.PowerOff();  // not plugged in yet
    windows.SetEvents([this] { hid.Service(); }, [this](plat::Handle event) { return hid.TakeEvent(event); });
}

plat::Platform HeadlessPlatform::Services() {
    plat::Platform p;
    p.windows = &windows;
    p.messages = &messages;
    p.tray = &tray;
    p.hid = &hid;
    p.waveOut = &waveOut;
    p.system = &system;
    p.resources = &resources;
    p.files = &files;
    p.threads = &threads;
    p.session = &session;
    return p;
}

void HeadlessPlatform::PlugBase() {
    if (baseDevice_ < 0) {
        baseDevice_ = hid.AddDevice(kBaseVendorId, kBaseProductId, kBasePath);
        hid.Device(baseDevice_).base = &base;
    } else {
        hid.Plug(baseDevice_);
    }
    waveOut.Add(kBaseWaveDevice);
    if (!basePlugged_) base.PowerOn();
    basePlugged_ = true;
}

void HeadlessPlatform::StartClient(ClientKindSim kind) {
    // The one running ends, and its calls with it.
    if (messages.ClientRunning() && client.Kind() != kind) messages.StopClient();
    client.SetKind(kind);
    messages.StartClient();
}

void HeadlessPlatform::UnplugBase() {
    if (baseDevice_ >= 0) hid.Unplug(baseDevice_);
    base.PowerOff();
    waveOut.Remove(kBaseWaveDevice);
    basePlugged_ = false;
}

}  // namespace sim

#include "platform/Platform.h"

#include <cassert>

namespace plat {

namespace {
Platform g_platform;
}

void Install(const Platform& platform) { g_platform = platform; }

Windows& windows() { assert(g_platform.windows); return *g_platform.windows; }
Messages& messages() { assert(g_platform.messages); return *g_platform.messages; }
Tray& tray() { assert(g_platform.tray); return *g_platform.tray; }
HidBus& hid() { assert(g_platform.hid); return *g_platform.hid; }
WaveOut& waveOut() { assert(g_platform.waveOut); return *g_platform.waveOut; }
System& system() { assert(g_platform.system); return *g_platform.system; }
Resources& resources() { assert(g_platform.resources); return *g_platform.resources; }
Files& files() { assert(g_platform.files); return *g_platform.files; }
Threads& threads() { assert(g_platform.threads); return *g_platform.threads; }
Session& session() { assert(g_platform.session); return *g_platform.session; }

}  // namespace plat

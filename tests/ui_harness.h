// Helpers for the maintenance-window tests: a private working folder for the log files,
// the windows and controls of the headless process, and actions the harness has no
// command for (a system-menu command, a page handler behind a hidden button).
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "tools/world/Harness.h"
#include "tools/world/HeadlessPlatform.h"
#include "ui/DebugDlg.h"

namespace ui_test {

// Each test runs in a fresh folder, as a new process would: the log counter starts at 0.
class WorkFolder {
public:
    WorkFolder() {
        char here[PATH_MAX];
        if (getcwd(here, sizeof here)) home_ = here;
        char pattern[] = "/tmp/bridger-ui-XXXXXX";
        if (const char* made = mkdtemp(pattern)) path_ = made;
        if (!path_.empty() && chdir(path_.c_str()) != 0) path_.clear();
        ResetLogFileCounter();
    }
    ~WorkFolder() {
        if (!home_.empty() && chdir(home_.c_str()) != 0) return;
        if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    bool Ready() const { return !path_.empty(); }

private:
    std::string home_;
    std::string path_;
};

// The whole file as it is on disk; "<missing>" when it cannot be read.
inline std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Lines joined as the log files hold them: each ends in CR LF, and so does every line
// feed inside one.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) {
        for (char c : l) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
        out += "\r\n";
    }
    return out;
}

inline const sim::WindowState* Window(sim::Harness& h, int templateId) {
    return h.Platform().windows.FindByTemplate(templateId);
}

inline const sim::ControlState* Control(sim::Harness& h, int templateId, int id) {
    const sim::WindowState* w = Window(h, templateId);
    return w ? h.Platform().windows.Control(w->handle, id) : nullptr;
}

inline std::vector<std::string> Items(sim::Harness& h, int templateId, int id) {
    const sim::ControlState* c = Control(h, templateId, id);
    return c ? c->items : std::vector<std::string>();
}

// Runs an action on the window's dialog object inside the process, as a message would.
inline void Deliver(sim::Harness& h, int templateId, std::function<void(plat::Dialog&)> action) {
    const sim::WindowState* w = Window(h, templateId);
    ASSERT_NE(w, nullptr);
    const plat::WindowHandle handle = w->handle;
    sim::HeadlessPlatform& p = h.Platform();
    p.loop.Post([&p, handle, action] {
        if (plat::Dialog* sink = p.windows.Sink(handle)) action(*sink);
    });
    p.loop.Pump();
}

// Texts of the transcript lines of this kind from index `from` on.
inline std::vector<std::string> TextsFrom(sim::Harness& h, const std::string& kind, std::size_t from = 0) {
    std::vector<std::string> out;
    const auto& lines = h.Transcript();
    for (std::size_t i = from; i < lines.size(); ++i)
        if (lines[i].kind == kind) out.push_back(lines[i].text);
    return out;
}

}  // namespace ui_test

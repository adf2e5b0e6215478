// A set of the bridge's rules checked over the simulated peers: it watches what the base and
// the client see, and records each rule it finds broken, once per rule and call.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tools/sim/PeerObserver.h"

namespace sim {

class SimBase;
class SimClient;

struct Violation {
    std::uint64_t time = 0;
    std::string rule;  // "rule 2 (nothing lost)"
    std::string call;  // empty when no one call is at fault
    std::string text;
    std::string Format() const;  // "RULE, call ID: TEXT"
};

// A condition that breaks a rule once it has lasted longer than its grace.
struct Lasting {
    bool on = false;
    std::uint64_t since = 0;
    // Whether the condition holds `now`; true once it has held for more than `grace` ms.
    bool For(bool now, std::uint64_t at, std::uint64_t grace) {
        if (!now) {
            on = false;
            return false;
        }
        if (!on) {
            on = true;
            since = at;
        }
        return at - since > grace;
    }
};

// What the user sees of the bridge, as far as a checker needs it; the harness reads it from
// the bridge's windows.
class UserView {
public:
    virtual ~UserView() = default;
    // The bridge runs (it has not exited).
    virtual bool BridgeRunning() const = 0;
    // The options sheet's settings page is open; its controls, by id (false, -1 or 0 for a
    // control that is not there).
    virtual bool SettingsOpen() const = 0;
    virtual bool Usable(int control) const = 0;  // enabled and visible: a click reaches it
    virtual bool Checked(int control) const = 0;
    virtual int Selection(int control) const = 0;
    virtual int Icon(int control) const = 0;
    // A string-table text in the bridge's language.
    virtual std::string Text(int stringId) const = 0;
};

class Checker : public PeerObserver {
public:
    Checker(std::function<std::uint64_t()> clock, std::vector<Violation>& sink)
        : clock_(std::move(clock)), sink_(sink) {}
    // The bridge's status code changed (what the information window shows).
    virtual void OnStatus(int) {}
    // A message box opened with this text.
    virtual void OnMessageBox(const std::string&) {}
    // The user is about to click control `control` of a window ("options", "main", ...).
    virtual void OnUserClick(const std::string&, int) {}
    // The rules that depend on time passing; after every event.
    virtual void Check() {}

protected:
    std::uint64_t Now() const { return clock_(); }
    static std::string Ms(std::uint64_t ms) { return std::to_string(ms) + " ms"; }
    // "rule 2 (nothing lost)": the rule's name from the names of a checker's rules, the
    // first of which is rule `first`; "?" for a rule that is not among them.
    template <std::size_t N>
    static std::string RuleLabel(int rule, int first, const char* const (&names)[N]) {
        const bool known = rule >= first && rule - first < static_cast<int>(N);
        return "rule " + std::to_string(rule) + " (" + (known ? names[rule - first] : "?") + ")";
    }
    void Break(const std::string& rule, const std::string& call, const std::string& text);
    // A call id used again for a new call may break a rule again.
    // (Reports are kept once per rule, kind of break and call.)
    void Forgive(const std::string& call);

private:
    std::function<std::uint64_t()> clock_;
    std::vector<Violation>& sink_;
    std::set<std::pair<std::string, std::string>> reported_;
};

// Every checker of the test world, watching these peers; what they find goes to sink.
std::vector<std::unique_ptr<Checker>> MakeCheckers(const SimBase& base, const SimClient& client,
                                                   const UserView& user, std::function<std::uint64_t()> clock,
                                                   std::vector<Violation>& sink);

}  // namespace sim

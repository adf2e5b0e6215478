#include "tools/sim/Checker.h"

#include "tools/sim/CallChecker.h"
#include "tools/sim/PhonebookChecker.h"
#include "tools/sim/LinkChecker.h"
#include "tools/sim/RequestChecker.h"

namespace sim {

std::string Violation::Format() const {
    std::string out = rule;
    if (!call.empty()) out += ", call " + call;
    return out + ": " + text;
}

void Checker::Break(const std::string& rule, const std::string& call, const std::string& text) {
    // One report for each kind of break of a rule and a call; the figures in the text vary.
    std::string kind;
    for (char c : text)
        if (c < '0' || c > '9') kind += c;
    if (!reported_.insert({rule + "\n" + kind, call}).second) return;
    sink_.push_back(Violation{Now(), rule, call, text});
}

void Checker::Forgive(const std::string& call) {
    for (auto it = reported_.begin(); it != reported_.end();) it = it->second == call ? reported_.erase(it) : ++it;
}

std::vector<std::unique_ptr<Checker>> MakeCheckers(const SimBase& base, const SimClient& client,
                                                   const UserView& user, std::function<std::uint64_t()> clock,
                                                   std::vector<Violation>& sink) {
    std::vector<std::unique_ptr<Checker>> checkers;
    checkers.push_back(std::make_unique<CallChecker>(base, client, clock, sink));
    checkers.push_back(std::make_unique<PhonebookChecker>(base, client, clock, sink));
    checkers.push_back(std::make_unique<LinkChecker>(base, client, user, clock, sink));
    checkers.push_back(std::make_unique<RequestChecker>(user, clock, sink));
    return checkers;
}

}  // namespace sim

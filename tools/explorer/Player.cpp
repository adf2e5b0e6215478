#include "tools/explorer/Player.h"

#include <cstdlib>

#include "tools/bridger-sim/ScenarioWords.h"
#include "tools/sim/CallChecker.h"

namespace explore {

namespace {

// "explored:12: checker at 9100 ms: rule 2 (nothing lost), call 7: ..." -> "rule 2 (nothing lost)"
std::string RuleOf(const std::string& message) {
    const std::string marker = " ms: ";
    const std::size_t at = message.find(marker);
    if (at == std::string::npos || message.find(": checker at ") == std::string::npos) return {};
    const std::size_t from = at + marker.size();
    const std::size_t close = message.find(')', from);
    return close == std::string::npos ? std::string() : message.substr(from, close + 1 - from);
}

}  // namespace

Player::Player() : interpreter_("en", "explored", null_, errors_) { interpreter_.CheckRules(true); }

bool Player::Realistic(const std::string& line, const sim::SimBase& base, const sim::SimClient& client) {
    const std::vector<scn::Word> words = scn::Split(line);
    // A client reports nothing more of a call that ended, and a call it never had starts
    // ringing, routing, or (taken at the computer) in progress.
    if (words.size() == 6 && words[0].text == "client" && words[1].text == "say" && words[2].text == "CALL" &&
        words[4].text == "STATUS") {
        const sim::SimCall* call = client.Calls().Find(words[3].text);
        const std::string& status = words[5].text;
        if (call) return !sim::CallTable::IsEnd(call->status);
        return status == "RINGING" || status == "ROUTING" || status == "INPROGRESS";
    }
    if (words.size() < 3 || words[0].text != "handset") return true;
    const sim::Handsets& model = base.HandsetModel();
    const int handset = std::atoi(words[1].text.c_str());
    // Only a handset that is off hook can be hung up (what the base has not yet told the
    // bridge may have taken it off hook).
    if (words[2].text == "hangup") return model.At(handset).offHook || base.HasInputReport();
    if (words.size() < 4 || words[2].text != "dial") return true;
    // The line the base knows of includes what it has not yet told the bridge.
    if (base.HasInputReport()) return false;
    const int holder = model.LineHolder();
    if (model.AnyAlerting() || (holder != 0 && holder != handset)) return false;
    if (model.At(handset).offHook && holder != handset) return false;  // off hook, but not on the line
    return holder != handset || model.At(handset).keys.empty();
}

bool Player::Play(const std::string& line) {
    if (outcome_.Failed()) return false;
    sim::Harness* harness = interpreter_.Harness();
    if (harness && !Realistic(line, harness->Base(), harness->Client())) {
        outcome_.status = scn::kScriptError;
        outcome_.failure = "unrealistic: " + line;
        return false;
    }
    outcome_.lines.push_back(line);
    std::vector<scn::Step> steps;
    scn::ScriptError error;
    if (!scn::ParseLine(line, static_cast<int>(outcome_.lines.size()), steps, &error)) {
        outcome_.status = scn::kScriptError;
        outcome_.failure = "explored:" + std::to_string(error.line) + ": " + error.message;
        return false;
    }
    for (const scn::Step& step : steps) {
        const int status = interpreter_.PlayStep(step);
        if (status == scn::kAllHeld) continue;
        outcome_.status = status;
        outcome_.failure = errors_.str();
        while (!outcome_.failure.empty() && outcome_.failure.back() == '\n') outcome_.failure.pop_back();
        outcome_.rule = RuleOf(outcome_.failure);
        return false;
    }
    return true;
}

Outcome Replay(const std::vector<std::string>& lines) {
    Player player;
    for (const std::string& line : lines)
        if (!player.Play(line)) break;
    return player.TakeResult();
}

}  // namespace explore

#include "tools/sim/RequestChecker.h"

#include <algorithm>

#include "device/Packet.h"
#include "res/resource.h"
#include "tools/sim/BridgeFacts.h"

namespace sim {

namespace {

const char* const kPage = "options";  // the harness's name of the settings page

// Every text that is the result of a request of the page.
constexpr int kResultTexts[] = {IDS_LOOPBACK_OK, IDS_LOOPBACK_FAIL, IDS_FINISHED,
                                IDS_NO_REPLY,    IDS_FORWARD_OK,    IDS_DELETE_FINISHED};

}  // namespace

std::string RequestChecker::RuleName() { return "rule 8 (one action, one result)"; }

RequestChecker::RequestChecker(const UserView& user, std::function<std::uint64_t()> clock,
                               std::vector<Violation>& sink)
    : Checker(std::move(clock), sink), user_(user) {}

std::string RequestChecker::Name(Kind kind) {
    switch (kind) {
        case Kind::DeleteAll: return "delete-all";
        case Kind::DeleteOne: return "delete-one";
        case Kind::Loopback: return "loopback";
        case Kind::AllReset: return "All Reset";
        case Kind::None: break;
    }
    return "?";
}

// The radios in the order the page's OK looks at them.
RequestChecker::Kind RequestChecker::Clicked() const {
    if (user_.Checked(IDC_DELETE_ALL)) return Kind::DeleteAll;
    if (user_.Checked(IDC_DELETE_ONE)) return Kind::DeleteOne;
    if (user_.Checked(IDC_PAGING)) return Kind::None;
    if (user_.Checked(IDC_LOOPBACK)) return Kind::Loopback;
    if (user_.Checked(IDC_GET_VERSION) || user_.Checked(IDC_RADIO_1061)) return Kind::None;
    if (user_.Checked(IDC_RADIO_1068)) return Kind::Loopback;
    return Kind::None;
}

void RequestChecker::OnUserClick(const std::string& window, int control) {
    if (window != kPage || !user_.SettingsOpen() || !user_.Usable(control)) return;
    Request request;
    request.at = Now();
    if (control == IDC_EXECUTE) {
        request.kind = Clicked();
        if (request.kind == Kind::DeleteOne) {
            request.handset = user_.Selection(IDC_HANDSET_LIST) + 1;
            if (request.handset <= 0) return;
        }
    } else if (control == IDC_ALL_RESET) {
        request.kind = Kind::AllReset;
    }
    if (request.kind == Kind::None) return;
    waiting_.push_back(request);
    attribute_ = true;
    clickAt_ = Now();
}

void RequestChecker::OnBridgeReport(const std::vector<std::uint8_t>& data) {
    const pkt::Examined packet = pkt::Examine(data.data(), data.size());
    if (packet.verdict != pkt::Verdict::Valid || packet.length <= pkt::kSubCodeAt || data[pkt::kCodeAt] != pkt::CMD_BASE) return;
    const std::uint8_t sub = data[pkt::kSubCodeAt];
    if (sub == pkt::BASE_OPEN_REGISTRATION) registering_ = Registering::Yes;
    // The command the click sent goes out while the click is handled, at the same moment.
    if (!attribute_ || Now() != clickAt_ || waiting_.empty()) {
        attribute_ = false;
        return;
    }
    attribute_ = false;
    Request& clicked = waiting_.back();
    clicked.sent = true;
    if (sub == pkt::BASE_LOOPBACK && packet.length >= pkt::kSubDataAt + pkt::kLoopbackBytes)
        clicked.bytes.assign(data.begin() + pkt::kSubDataAt, data.begin() + pkt::kSubDataAt + pkt::kLoopbackBytes);
    Check();
}

bool RequestChecker::Answers(const Request& r, const std::vector<std::uint8_t>& p) {
    const std::uint8_t code = p[pkt::kCodeAt];
    const std::uint8_t sub = p[pkt::kSubCodeAt];
    switch (r.kind) {
        case Kind::Loopback:
            return code == pkt::EVT_TEST_REPLY && sub == pkt::BASE_LOOPBACK && !r.bytes.empty() &&
                   std::equal(r.bytes.begin(), r.bytes.end(), p.begin() + pkt::kSubDataAt);
        case Kind::DeleteAll: return code == pkt::EVT_COMMAND_REPLY && sub == pkt::BASE_DELETE_ALL;
        case Kind::DeleteOne:
            return code == pkt::EVT_COMMAND_REPLY && sub == pkt::BASE_DELETE_HANDSET && p[2] >= 4 &&
                   p[pkt::kSubDataAt] == r.handset;
        case Kind::AllReset:
            return (code == pkt::EVT_COMMAND_REPLY || code == pkt::EVT_TEST_REPLY) && sub == pkt::BASE_RESET;
        case Kind::None: break;
    }
    return false;
}

void RequestChecker::OnBaseReport(const std::vector<std::uint8_t>& data) {
    const pkt::Examined packet = pkt::Examine(data.data(), data.size());
    if (packet.verdict != pkt::Verdict::Valid || packet.length <= pkt::kSubCodeAt) {
        Check();
        return;
    }
    if (data[pkt::kCodeAt] == pkt::EVT_REGISTER_END) registering_ = Registering::No;
    std::vector<std::uint8_t> bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(packet.length));
    bytes.resize(std::max<std::size_t>(bytes.size(), pkt::kSubDataAt + pkt::kLoopbackBytes), 0);
    for (Request& r : waiting_) {
        // A command the base never heard (it was away) has no answer, whatever comes.
        if (r.answered || !r.sent || !Answers(r, bytes)) continue;
        r.answered = true;
        break;
    }
    Check();
}

void RequestChecker::OnBasePower(bool on) {
    // Registration ends with the base's power; what the bridge shows is known again once it
    // asks a base to register, or a base says it has ended.
    if (!on) registering_ = Registering::Unknown;
    Check();
}

bool RequestChecker::ResultOf(Kind kind, const std::string& text, bool& success) const {
    int ok = 0;
    std::vector<int> failed;
    switch (kind) {
        case Kind::Loopback: ok = IDS_LOOPBACK_OK; failed = {IDS_LOOPBACK_FAIL}; break;
        case Kind::DeleteAll:
        case Kind::DeleteOne: ok = IDS_DELETE_FINISHED; failed = {IDS_NO_REPLY}; break;
        case Kind::AllReset: ok = IDS_FINISHED; failed = {IDS_LOOPBACK_FAIL, IDS_NO_REPLY}; break;
        case Kind::None: return false;
    }
    if (text == user_.Text(ok)) {
        success = true;
        return true;
    }
    success = false;
    for (int id : failed)
        if (text == user_.Text(id)) return true;
    return false;
}

void RequestChecker::OnMessageBox(const std::string& text) {
    for (auto it = waiting_.begin(); it != waiting_.end(); ++it) {
        bool success = false;
        if (!ResultOf(it->kind, text, success)) continue;
        const std::string what = "\"" + text + "\" shown for the " + Name(it->kind) + " request";
        if (success && !it->answered) Break(what + ", but the base did not answer it");
        if (!success && it->answered) Break(what + ", though the base answered it");
        waiting_.erase(it);
        Check();
        return;
    }
    for (int id : kResultTexts)
        if (text == user_.Text(id)) Break("\"" + text + "\" shown with no request of the settings page waiting for it");
    Check();
}

void RequestChecker::Check() {
    if (!user_.BridgeRunning()) return;
    const std::uint64_t now = Now();
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        const std::uint64_t limit = it->kind == Kind::AllReset ? kChainWithinMs : kResultWithinMs;
        if (now - it->at <= limit) {
            ++it;
            continue;
        }
        Break("no result for the " + Name(it->kind) + " request " + Ms(now - it->at) + " after it");
        it = waiting_.erase(it);
    }
    CheckPage();
}

void RequestChecker::CheckPage() {
    const bool open = user_.SettingsOpen();
    const bool buttonsOn = open && user_.Usable(IDC_EXECUTE);
    if (buttonsWrong_.For(open && buttonsOn != waiting_.empty(), Now(), kPageGraceMs))
        Break(buttonsOn ? "the page's buttons are on while the " + Name(waiting_.front().kind) + " request waits"
                        : "the page's buttons are off while no request waits");
    const bool known = registering_ != Registering::Unknown;
    const bool lightOn = open && user_.Icon(IDC_LIGHT) == IDI_LIGHT_ON;
    if (lightWrong_.For(open && known && lightOn != (registering_ == Registering::Yes), Now(), kPageGraceMs))
        Break(lightOn ? "the registration light is green while the base does not register"
                      : "the registration light is off while the base registers");
}

}  // namespace sim

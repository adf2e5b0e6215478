// responsiveness: measures how long the shipped Bridger.exe keeps its VoIP client, its
// user and its base waiting, under Windows or Wine, with the virtual HID base plugged in.
//
//   responsiveness [--inf FILE] [--seed N] [--quick] [--idle-only] [--idle-seconds S] [--transcript FILE] BRIDGER-EXE
//
// It starts the bridge, waits for its link test, attaches as the client with a phone book
// of 200 contacts (the status sweep is timed), then, with the base idle: times single
// notifications sent at random moments and a burst of 200, posts messages and times until
// the bridge acts on them, rings calls at random moments and times until the first alert
// reaches the base, and stays idle for a while (a script measures the bridge's processor
// time meanwhile). Then the same during an answered call (with handset keys timed to the
// client command they cause) and with a handset's letter menu open (keys timed to the
// display they change). --idle-only attaches and stays idle, for the processor time
// alone; --quick takes a few samples of each figure. Each figure is one line on standard output beginning "figure ";
// the transcript of what was seen goes there too, "phase NAME begin|end" marks the phases.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "device/Packet.h"
#include "tools/e2e-driver/ProgramFolder.h"
#include "tools/responsiveness/TestBed.h"

namespace {

using rsp::Samples;
using rsp::TestBed;

constexpr LPARAM kAttachAvailable = 32769;  // "try connect now": the bridge broadcasts again
constexpr double kAnswerWaitMs = 3000;
constexpr int kContacts = 200;

struct Options {
    std::string bridger;
    std::string inf;
    std::string transcript;
    unsigned seed = 0;
    bool quick = false;
    bool idleOnly = false;
    int idleSeconds = 60;
};

struct Counts {
    int singles = 200;
    int burst = 200;
    int posts = 50;
    int calls = 30;
    int keys = 30;
    int stateSingles = 100;  // in a call and in the menu
    int statePosts = 30;
};

std::string Contact(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "user%03d", i);
    return name;
}

void Figure(const std::string& state, const std::string& line) {
    std::printf("figure %s %s\n", state.c_str(), line.c_str());
    std::fflush(stdout);
}

void Phase(const std::string& name, const char* edge) {
    std::printf("phase %s %s\n", name.c_str(), edge);
    std::fflush(stdout);
    std::fprintf(stderr, "responsiveness: %s %s\n", name.c_str(), edge);
}

class Bench {
public:
    Bench(TestBed& bed, unsigned seed, const Counts& counts) : bed_(bed), rng_(seed), counts_(counts) {}

    bool Sweep();
    void Singles(const std::string& state, int count);
    void Burst();
    void Posts(const std::string& state, int count);
    bool Ringing();
    void Idle(int seconds);
    bool Call();
    bool Menu();

private:
    double Between(double lowMs, double highMs) {
        return std::uniform_real_distribution<double>(lowMs, highMs)(rng_);
    }
    // A notification the bridge only notes: a listed contact is (still) online.
    std::string Harmless() { return "USER " + Contact(1 + (next_++ % kContacts)) + " ONLINESTATUS ONLINE"; }
    bool RingAndAlert(int callId, Samples* alert);
    bool Keys(const std::string& state, char key, const std::string& effect, bool atClient);

    TestBed& bed_;
    std::mt19937 rng_;
    Counts counts_;
    int next_ = 0;
};

// The phone book arrives as the attachment's contacts reply; the bridge then asks for each
// contact's status, one round trip after the other.
bool Bench::Sweep() {
    std::vector<sim::Contact> contacts;
    for (int i = 1; i <= kContacts; ++i) contacts.push_back(sim::Contact{Contact(i), "ONLINE"});
    rsp::StandIn& client = bed_.Client();
    client.Sim().SetContacts(contacts);
    client.Attach(bed_.Bridge(), 0);
    const auto swept = [&] { return client.Count("GET USER " + Contact(kContacts) + " ") > 0 && !client.RepliesQueued(); };
    if (!bed_.WaitFor(swept, 120000)) {
        std::fprintf(stderr, "responsiveness: the status sweep did not reach the last contact\n");
        return false;
    }
    double begin = -1, end = 0, frozen = 0;
    Samples stalls;
    for (const rsp::Sent& s : client.SentLog()) {
        if (begin < 0 && s.text.rfind("USERS ", 0) != 0) continue;
        if (begin < 0) begin = s.start;
        end = s.start + s.took;
        frozen += s.took;
        stalls.Add(s.took);
    }
    char line[160];
    std::snprintf(line, sizeof line, "sweep-%d total=%.0f ms in-sendmessage=%.0f ms", kContacts, end - begin, frozen);
    Figure("idle", line);
    Figure("idle", stalls.Summary("sweep-notification-stall"));
    // Later contacts replies (a re-attachment) bring no new phone book.
    client.Sim().SetContacts({});
    return true;
}

void Bench::Singles(const std::string& state, int count) {
    Samples stalls;
    for (int i = 0; i < count; ++i) {
        bed_.Pump(Between(20, 300));
        const double took = bed_.Client().Say(Harmless());
        if (took >= 0) stalls.Add(took);
    }
    Figure(state, stalls.Summary("notification-stall"));
}

void Bench::Burst() {
    Samples stalls;
    bed_.Pump(Between(20, 300));
    const double begin = bed_.Now();
    for (int i = 0; i < counts_.burst; ++i) {
        const double took = bed_.Client().Say(Harmless());
        if (took >= 0) stalls.Add(took);
    }
    char line[120];
    std::snprintf(line, sizeof line, "burst-%d total=%.0f ms", counts_.burst, bed_.Now() - begin);
    Figure("idle", line);
    Figure("idle", stalls.Summary("burst-notification-stall"));
}

// A posted message, as a click or a key arrives: the attach message saying "try connect
// now", which the bridge answers with a discover broadcast that reaches our window.
void Bench::Posts(const std::string& state, int count) {
    Samples acted;
    rsp::StandIn& client = bed_.Client();
    for (int i = 0; i < count; ++i) {
        bed_.Pump(Between(20, 300));
        const std::size_t before = client.Broadcasts().size();
        const double posted = bed_.Now();
        client.Attach(bed_.Bridge(), kAttachAvailable);
        if (bed_.WaitFor([&] { return client.Broadcasts().size() > before; }, kAnswerWaitMs))
            acted.Add(client.Broadcasts()[before] - posted);
    }
    Figure(state, acted.Summary("posted-input"));
}

bool Bench::RingAndAlert(int callId, Samples* alert) {
    const std::string id = std::to_string(callId);
    const std::size_t before = bed_.Latency().RingingToAlert().size();
    bed_.Latency().Ringing(bed_.Now());
    bed_.Client().Say("CALL " + id + " STATUS RINGING");
    const bool alerted = bed_.WaitFor([&] { return bed_.Latency().RingingToAlert().size() > before; }, kAnswerWaitMs);
    if (alerted && alert) alert->Add(bed_.Latency().RingingToAlert()[before]);
    if (!alerted) std::fprintf(stderr, "responsiveness: call %s rang without an alert\n", id.c_str());
    return alerted;
}

// Calls ring at random moments and are ended at the client before anybody answers.
bool Bench::Ringing() {
    Samples alert;
    for (int i = 0; i < counts_.calls; ++i) {
        bed_.Pump(Between(50, 450));
        const int callId = 500 + i;
        if (!RingAndAlert(callId, &alert)) return false;
        const double ended = bed_.Now();
        bed_.Client().Say("CALL " + std::to_string(callId) + " STATUS FINISHED");
        // Every handset released: the bridge is idle again.
        if (!bed_.WaitReport("2424030281", ended, kAnswerWaitMs)) return false;
    }
    Figure("idle", alert.Summary("ringing-to-alert"));
    return true;
}

void Bench::Idle(int seconds) {
    Phase("idle-cpu", "begin");
    // Waking seldom: the measuring client's own work must not load the machine meanwhile.
    bed_.Pump(seconds * 1000.0, 100);
    Phase("idle-cpu", "end");
}

// Keys pressed at random moments, each timed to its effect: a client command, or a
// feature report at the base.
bool Bench::Keys(const std::string& state, char key, const std::string& effect, bool atClient) {
    Samples took;
    rsp::StandIn& client = bed_.Client();
    for (int i = 0; i < counts_.keys; ++i) {
        bed_.Pump(Between(100, 400));
        const std::size_t commands = client.Commands().size();
        const double pressed = bed_.Now();
        bed_.Base().With([&](sim::SimBase& b) { b.Key(1, key); });
        double at = -1;
        if (atClient) {
            const auto seen = [&] {
                for (std::size_t c = commands; c < client.Commands().size(); ++c)
                    if (client.Commands()[c].text.find(effect) != std::string::npos) at = client.Commands()[c].ms;
                return at >= 0;
            };
            if (!bed_.WaitFor(seen, kAnswerWaitMs)) return false;
        } else if (!bed_.WaitReport(effect, pressed, kAnswerWaitMs, &at)) {
            return false;
        }
        took.Add(at - pressed);
    }
    Figure(state, took.Summary(atClient ? "key-to-client" : "key-to-display"));
    return true;
}

bool Bench::Call() {
    const int callId = 900;
    const std::string id = std::to_string(callId);
    if (!RingAndAlert(callId, nullptr)) return false;
    bed_.Base().With([](sim::SimBase& b) { b.Answer(1); });
    if (!bed_.WaitFor([&] { return bed_.Client().Count("SET CALL " + id + " STATUS INPROGRESS") > 0; }, kAnswerWaitMs))
        return false;
    bed_.Pump(500);
    if (!Keys("call", '5', "SET CALL " + id + " DTMF 5", true)) return false;
    Singles("call", counts_.stateSingles);
    Posts("call", counts_.statePosts);
    bed_.Base().With([](sim::SimBase& b) { b.HangUp(1); });
    return bed_.WaitFor([&] { return bed_.Client().Count("HOOK ON") > 0; }, kAnswerWaitMs);
}

// The talk key takes handset 1 off hook and key 2 opens the letter menu; the keys that
// follow step through the letters, each redrawing the display.
bool Bench::Menu() {
    bed_.Base().With([](sim::SimBase& b) { b.FuncKey(1, '*'); });
    bed_.Pump(300);
    const double pressed = bed_.Now();
    bed_.Base().With([](sim::SimBase& b) { b.Key(1, '2'); });
    if (!bed_.WaitReport("2424140A01", pressed, kAnswerWaitMs)) return false;
    if (!Keys("menu", '2', "2424140A01", false)) return false;
    Singles("menu", counts_.stateSingles);
    Posts("menu", counts_.statePosts);
    const double hungUp = bed_.Now();
    bed_.Base().With([](sim::SimBase& b) { b.HangUp(1); });
    return bed_.WaitReport("2424030301", hungUp, kAnswerWaitMs);
}

int Usage() {
    std::fprintf(stderr,
                 "usage: responsiveness [--inf FILE] [--seed N] [--quick] [--idle-only] [--idle-seconds S] "
                 "[--transcript FILE] "
                 "BRIDGER-EXE\n");
    return 2;
}

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool valued = arg == "--inf" || arg == "--seed" || arg == "--idle-seconds" || arg == "--transcript";
        if (valued && i + 1 >= argc) return false;
        if (arg == "--inf") o.inf = argv[++i];
        else if (arg == "--seed") o.seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--idle-seconds") o.idleSeconds = std::atoi(argv[++i]);
        else if (arg == "--transcript") o.transcript = argv[++i];
        else if (arg == "--quick") o.quick = true;
        else if (arg == "--idle-only") o.idleOnly = true;
        else if (arg.rfind("--", 0) == 0 || !o.bridger.empty()) return false;
        else o.bridger = arg;
    }
    if (o.inf.empty()) o.inf = e2e::BesideThisProgram("bridger-base.inf");
    if (o.seed == 0) o.seed = GetTickCount();
    return !o.bridger.empty();
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    Options options;
    if (!Parse(argc, argv, options)) return Usage();
    Counts counts;
    if (options.quick) counts = Counts{20, 50, 10, 5, 5, 10, 5};
    std::FILE* copy = options.transcript.empty() ? nullptr : std::fopen(options.transcript.c_str(), "w");
    int status = 0;
    {
        TestBed bed(copy);
        std::string error;
        if (!bed.Start(options.bridger, options.inf, error)) {
            std::fprintf(stderr, "responsiveness: cannot start: %s\n", error.c_str());
            return 3;
        }
        Figure("all", "seed=" + std::to_string(options.seed));
        Bench bench(bed, options.seed, counts);
        bool ok = bench.Sweep();
        if (ok && !options.idleOnly) {
            bench.Singles("idle", counts.singles);
            bench.Burst();
            bench.Posts("idle", counts.posts);
            ok = bench.Ringing();
        }
        if (ok && options.idleSeconds > 0) bench.Idle(options.idleSeconds);
        if (!options.idleOnly) ok = ok && bench.Call() && bench.Menu();
        if (!ok) {
            std::fprintf(stderr, "responsiveness: the bridge did not answer as expected (see the transcript)\n");
            status = 1;
        }
        bed.End();
    }
    if (copy) std::fclose(copy);
    return status;
}

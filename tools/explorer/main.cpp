// bridger-explore: plays random call sequences on the headless bridge under the call
// checker. Each seed is one reproducible sequence; the first failure is shrunk to a short
// scenario file that bridger-sim plays.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

#include "tools/explorer/Explorer.h"
#include "tools/explorer/Family.h"
#include "tools/explorer/Shrink.h"

namespace {

constexpr const char* kUsage =
    "usage: bridger-explore [--seed FIRST] [--count N] [--steps MAX] [--out DIR] [--keep-going]\n"
    "                       [--family calls|contacts|link|settings]\n"
    "  plays seeds FIRST .. FIRST+N-1 (default 1 and 1000); on a failure writes the shrunk\n"
    "  scenario to DIR (default .) as explored-SEED.scn and exits 1; --family draws the steps\n"
    "  from that family only (default: all)\n";

struct Arguments {
    std::uint64_t seed = 1;
    std::uint64_t count = 1000;
    int steps = 40;
    std::string out = ".";
    bool keepGoing = false;
    std::string family;
};

bool Parse(int argc, char** argv, Arguments& a) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--seed" && hasValue) a.seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--count" && hasValue) a.count = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--steps" && hasValue) a.steps = std::atoi(argv[++i]);
        else if (arg == "--out" && hasValue) a.out = argv[++i];
        else if (arg == "--keep-going") a.keepGoing = true;
        else if (arg == "--family" && hasValue) a.family = argv[++i];
        else return false;
    }
    return a.count > 0 && a.steps > 0 && (a.family.empty() || !explore::Families(a.family).empty());
}

// One report per rule and first words of the failure, so that a long run lists each kind once.
std::string KindOf(const explore::Outcome& o) {
    const std::size_t at = o.failure.find("rule ");
    std::string kind = at == std::string::npos ? o.failure : o.failure.substr(at);
    const std::size_t colon = kind.find(": ");
    if (colon != std::string::npos && colon + 30 < kind.size()) kind = kind.substr(0, colon + 30);
    for (char& c : kind)
        if (c >= '0' && c <= '9') c = '#';
    return o.rule + " " + kind;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!Parse(argc, argv, args)) {
        std::cerr << kUsage;
        return 2;
    }
    explore::Limits limits;
    limits.maxSteps = args.steps;
    limits.family = args.family;
    const auto started = std::chrono::steady_clock::now();
    std::map<std::string, std::uint64_t> kinds;
    std::uint64_t failures = 0;
    for (std::uint64_t n = 0; n < args.count; ++n) {
        const std::uint64_t seed = args.seed + n;
        explore::SeededChoices choices(seed);
        const explore::Outcome outcome = explore::Explore(choices, limits);
        if (!outcome.Failed()) continue;
        ++failures;
        const std::string kind = KindOf(outcome);
        if (kinds.count(kind)) continue;
        kinds[kind] = seed;
        const explore::Outcome shrunk = explore::Shrink(outcome);
        const std::string file = args.out + "/explored-" + std::to_string(seed) + ".scn";
        std::ofstream(file) << explore::ScenarioText(
            shrunk, "Found by bridger-explore --seed " + std::to_string(seed) + " --count 1 --steps " +
                        std::to_string(args.steps) +
                        (args.family.empty() ? std::string() : " --family " + args.family) + ", then shrunk");
        std::cerr << "bridger-explore: seed " << seed << ": " << shrunk.failure << "\n  shrunk to " << shrunk.lines.size()
                  << " lines: " << file << "\n";
        if (!args.keepGoing) return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cerr << "bridger-explore: " << args.count << " sequences (seeds " << args.seed << " .. "
              << args.seed + args.count - 1 << ") in " << seconds << " s: ";
    if (failures == 0) {
        std::cerr << "no violation\n";
        return 0;
    }
    std::cerr << failures << " failed, " << kinds.size() << " kinds\n";
    return 1;
}

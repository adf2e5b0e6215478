// The probes' command line (window-probe and desktop-probe): a verb, then --key value pairs
// and value-less flags.
#pragma once
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <string>

namespace probe {

struct Options {
    std::string verb;
    std::map<std::string, std::string> values;
    bool Has(const std::string& key) const { return values.count(key) != 0; }
    std::string Get(const std::string& key, const std::string& fallback = std::string()) const {
        auto it = values.find(key);
        return it == values.end() ? fallback : it->second;
    }
    long Number(const std::string& key, long fallback) const {
        return Has(key) ? std::strtol(Get(key).c_str(), nullptr, 0) : fallback;
    }
};

// What a key given twice keeps: its last value, or every value joined by ';'.
enum class Repeats { kLastWins, kGathered };

// False when the line does not read as a verb and its options.
inline bool ParseOptions(int argc, char** argv, std::initializer_list<const char*> flags, Repeats repeats,
                         Options& out) {
    if (argc < 2) return false;
    out.verb = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::string key = argv[i];
        if (key.rfind("--", 0) != 0) return false;
        key = key.substr(2);
        bool isFlag = false;
        for (const char* flag : flags) isFlag = isFlag || key == flag;
        if (isFlag) {
            out.values[key] = "1";
            continue;
        }
        if (i + 1 >= argc) return false;
        std::string& value = out.values[key];
        if (repeats == Repeats::kGathered && !value.empty()) value += ';';
        if (repeats == Repeats::kLastWins) value.clear();
        value += argv[++i];
    }
    return true;
}

}  // namespace probe

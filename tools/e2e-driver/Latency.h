// The two latencies the driver measures from outside the bridge: a handset event written
// to the virtual base until the client command it causes reaches the client window, and a
// "CALL id STATUS RINGING" notification until the first CMD_ALERT reaches the base.
#pragma once
#include <mutex>
#include <string>
#include <vector>

namespace e2e {

class Latency {
public:
    // A handset event was handed to the base; the client command it causes contains one
    // of `commands`. Unmatched after kGiveUpMs, it counts for nothing.
    void HandsetEvent(double nowMs, std::vector<std::string> commands);
    void ClientCommand(double nowMs, const std::string& command);
    void Ringing(double nowMs);
    void Alert(double nowMs);

    std::vector<double> KeyToClient() const;
    std::vector<double> RingingToAlert() const;
    // "latency NAME n=N median=M worst=W" (ms), or "latency NAME n=0".
    static std::string Summary(const std::string& name, std::vector<double> samples);

    static constexpr double kGiveUpMs = 5000;

private:
    struct Pending {
        double since;
        std::vector<std::string> commands;
    };
    mutable std::mutex lock_;  // the base's thread reports alerts
    std::vector<Pending> handset_;
    double ringingSince_ = -1;
    std::vector<double> keyToClient_;
    std::vector<double> ringingToAlert_;
};

}  // namespace e2e

// One running bridge per fuzzing process, driven inline (no thread switch per call), with
// the states an input can start from and a way back to a quiet, ready bridge afterwards.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/world/Harness.h"

class CBridgeDlg;

namespace fuzz {

// Where an input starts: each is reached from the ready bridge by a fixed script.
enum class Prefix : std::uint8_t {
    Ready,             // base tested, client attached, nothing going on
    BeforeLinkTest,    // base plugged in again, no loopback sent yet
    DuringLinkTest,    // the first loopback of the start-up test is out, unanswered
    Ringing,           // a call rings every handset
    InCall,            // handset 1 answered a call
    SecondCall,        // a call in progress and a second one ringing
    OffHook,           // handset 1 pressed talk and typed two digits
    LetterMenu,        // handset 1 is in the contacts' letter menu
    CommandWaiting,    // a delete-all went out, the base has not answered
    LoopbackWaiting,   // a user loopback test went out, the base has not answered
    Count
};

class Bridge {
public:
    Bridge();
    ~Bridge();
    Bridge(const Bridge&) = delete;
    Bridge& operator=(const Bridge&) = delete;

    CBridgeDlg& Dlg();
    sim::Harness& Harness() { return *harness_; }

    void Enter(Prefix prefix);
    // Ends whatever the input left going; rebuilds the bridge when that does not bring it
    // back to the ready state. Drops the peers' records so a long run does not grow.
    void Settle();

    // Inputs: each one delivered and handled before the call returns.
    void Report(const std::uint8_t* bytes, std::size_t size);  // one input report, zero-padded
    void Packet(std::uint8_t code, const std::vector<std::uint8_t>& body);  // framed by the base
    void Say(const std::string& text);                          // a notification with its NUL
    void CopyData(const std::uint8_t* bytes, std::size_t size);  // exact copy-data bytes
    void Run(std::uint64_t ms);

    static const std::vector<sim::Contact>& Contacts();

private:
    void Boot();
    bool Ready();
    // The user asks for the checked radio's action on the settings page (opened if need be).
    void Request(int radio);

    sim::Harness* harness_ = nullptr;
    int nextCall_ = 500;
};

// The process-wide bridge of a fuzz target.
Bridge& TheBridge();

// Reads an input front to back; past its end every read gives zeros.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Done() const { return pos_ >= size_; }
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    // Up to n bytes (fewer at the end).
    std::vector<std::uint8_t> Bytes(std::size_t n);
    std::size_t Left() const { return pos_ < size_ ? size_ - pos_ : 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace fuzz

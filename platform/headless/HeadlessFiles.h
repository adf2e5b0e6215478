// Log files of the simulated process.
#pragma once
#include <cstdio>
#include <map>
#include <string>

#include "platform/Files.h"
#include "platform/headless/Peers.h"

namespace sim {

// Real files in the current directory, written with CR LF line ends.
class HeadlessFiles : public plat::Files {
public:
    explicit HeadlessFiles(EffectLog& transcript) : transcript_(transcript) {}
    ~HeadlessFiles() override;

    plat::Handle Create(const std::string& name) override;
    void WriteLine(plat::Handle file, const std::string& text) override;
    void Close(plat::Handle file) override;

    bool IsOpen(const std::string& name) const;

private:
    struct OpenFile {
        std::FILE* stream;
        std::string name;
    };
    EffectLog& transcript_;
    std::map<plat::Handle, OpenFile> files_;
    plat::Handle next_ = 0x5000;
};

}  // namespace sim

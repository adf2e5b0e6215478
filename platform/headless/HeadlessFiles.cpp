#include "platform/headless/HeadlessFiles.h"

#include <algorithm>
#include <string>

namespace sim {

HeadlessFiles::~HeadlessFiles() {
    for (auto& entry : files_) std::fclose(entry.second.stream);
}

bool HeadlessFiles::IsOpen(const std::string& name) const {
    return std::any_of(files_.begin(), files_.end(), [&](const auto& f) { return f.second.name == name; });
}

plat::Handle HeadlessFiles::Create(const std::string& name) {
    // Exclusive sharing: a file this process holds open cannot be created again.
    std::FILE* stream = IsOpen(name) ? nullptr : std::fopen(name.c_str(), "wb");
    if (!stream) {
        transcript_.Add("file", "open-failed " + name);
        return plat::kNullHandle;
    }
    const plat::Handle handle = ++next_;
    files_[handle] = OpenFile{stream, name};
    transcript_.Add("file", "open " + name);
    return handle;
}

void HeadlessFiles::WriteLine(plat::Handle file, const std::string& text) {
    auto it = files_.find(file);
    if (it == files_.end()) return;
    // As a text-mode file on Windows: every line feed, inner ones too, goes out as CR LF.
    std::string bytes;
    bytes.reserve(text.size() + 2);
    for (char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    bytes += "\r\n";
    std::fwrite(bytes.data(), 1, bytes.size(), it->second.stream);
}

void HeadlessFiles::Close(plat::Handle file) {
    auto it = files_.find(file);
    if (it == files_.end()) return;
    std::fclose(it->second.stream);
    transcript_.Add("file", "close " + it->second.name);
    files_.erase(it);
}

}  // namespace sim

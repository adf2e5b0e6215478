#include "tools/e2e-driver/StatusReading.h"

#include "app/BridgeDlg.h"

namespace e2e {

std::string StatusReading::TextOf(int code) const {
    auto it = texts_.find(code);
    return it == texts_.end() ? std::string() : it->second;
}

int StatusReading::Observe(const std::string& text, unsigned long keepAlives) {
    if (text.empty()) return 0;
    int code = 0;
    if (text == TextOf(STATUS_READY)) {
        if (code_ == 0 || code_ == STATUS_BASE_ABSENT) {
            code = STATUS_BASE_FOUND;
            keepAlivesWhenFound_ = keepAlives;
        } else if (code_ == STATUS_BASE_FOUND) {
            code = keepAlives > keepAlivesWhenFound_ ? STATUS_READY : STATUS_BASE_FOUND;
        } else {
            code = STATUS_READY;
        }
    } else {
        for (const auto& entry : texts_)
            if (entry.second == text && entry.first != STATUS_BASE_FOUND) code = entry.first;
    }
    if (code == 0 || code == code_) return 0;
    code_ = code;
    return code;
}

}  // namespace e2e

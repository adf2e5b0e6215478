// The status code behind the text the information window's STATUS box shows. Codes 2 and
// 8 share "USB READY"; what tells them apart from outside is what the base hears: the
// bridge writes keep-alive reports only once the start-up link test is decided, so the
// text after "USB Disconnected" (or at start) is 8 until the next keep-alive report, and 2
// from then on, or at once when it follows any other status.
#pragma once
#include <map>
#include <string>

namespace e2e {

class StatusReading {
public:
    // The text of a code in the session's language, as the bridge's string table has it.
    void SetText(int code, const std::string& text) { texts_[code] = text; }
    // The box shows `text`; the base has had `keepAlives` keep-alive reports so far. The
    // code shown now if it differs from the last one returned, else 0 (also for a text
    // that is no status's).
    int Observe(const std::string& text, unsigned long keepAlives);
    int Code() const { return code_; }
    std::string TextOf(int code) const;

private:
    std::map<int, std::string> texts_;
    int code_ = 0;
    unsigned long keepAlivesWhenFound_ = 0;
};

}  // namespace e2e

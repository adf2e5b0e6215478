#include "tools/sim/AttachFollower.h"

#include "tools/sim/CallTable.h"

namespace sim {

void AttachFollower::OnStatus(int status) {
    status_ = status;
    Check();
}

void AttachFollower::OnNotificationDelivered(const std::string& text) {
    BeforeNotification();
    const std::vector<std::string> w = CallTable::NotificationWords(text);
    if (Hears() && w.size() == 4 && !w[1].empty() && w[0] == "CALL" && w[2] == "STATUS" && w[3] == "RINGING")
        toldWhileAttached_.insert(w[1]);
    if (text.rfind("CONNSTATUS LOGGEDOUT", 0) == 0) attached_ = false;
    Check();
}

void AttachFollower::OnAttachDelivered(int status) {
    if (status == 0) attached_ = true;
    Check();
}

void AttachFollower::OnClientProcess(bool running) {
    if (!running) attached_ = false;
    Check();
}

}  // namespace sim

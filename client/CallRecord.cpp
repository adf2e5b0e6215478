#include "client/CallRecord.h"

#include <algorithm>

void CallRecord::AbandonPlaced() {
    for (auto it = awaiting_.begin(); it != awaiting_.end(); ++it) *it = true;
}

bool CallRecord::NamePlaced() {
    if (awaiting_.empty()) return false;
    const bool abandoned = awaiting_.front();
    awaiting_.pop_front();
    return abandoned;
}

void CallRecord::PlacedRefused() {
    if (!awaiting_.empty()) awaiting_.pop_front();
}

void CallRecord::Ringing(const std::string& id) {
    if (!id.empty() && !Rings(id)) ringing_.push_back(id);
}

void CallRecord::StopsRinging(const std::string& id) {
    ringing_.erase(std::remove(ringing_.begin(), ringing_.end(), id), ringing_.end());
}

bool CallRecord::Rings(const std::string& id) const {
    return std::find(ringing_.begin(), ringing_.end(), id) != ringing_.end();
}

void CallRecord::Clear() {
    awaiting_.clear();
    ringing_.clear();
}

// One contact of the client's phone book.
#pragma once
#include <string>

struct ContactRecord {
    std::string handle;
    std::string fullName;
    // The client reported the contact online (any status but OFFLINE). A listed contact whose
    // status has not come yet is kept for the sweep, but not shown on the handset.
    int online = 0;

    ContactRecord() = default;
    explicit ContactRecord(std::string h) : handle(std::move(h)) {}
    // A copy carries the handle and the online flag; the full name lives on the stored record.
    ContactRecord(const ContactRecord& other) : handle(other.handle), online(other.online) {}
    ContactRecord& operator=(const ContactRecord& other) {
        handle = other.handle;
        online = other.online;
        return *this;
    }
};

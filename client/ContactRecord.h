// One contact of the client's phone book.
#pragma once
#include <string>

struct ContactRecord {
    std::string handle;
    std::string fullName;
    int online = 1;

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

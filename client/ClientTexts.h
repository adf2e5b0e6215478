// Texts of the client's desktop API that the client link sends, expects or logs.
#pragma once

namespace client {

// Registered message names, indexed by ClientKind.
constexpr const char* kDiscoverNames[] = {"SkypeControlAPIDiscover", "WM_UAXAPP_DISCOVER"};
constexpr const char* kAttachNames[] = {"SkypeControlAPIAttach", "WM_UAXAPP_ATTACH"};

// Attach statuses (LPARAM of the attach message) and their VoIP-log lines.
constexpr long kAttachSuccess = 0;
constexpr long kAttachPending = 1;
constexpr long kAttachRefused = 2;
constexpr long kAttachNotAvailable = 3;
constexpr long kAttachAvailable = 0x8001;
constexpr const char* kLogAttached = "!!! Connected; to terminate issue #disconnect\n";
constexpr const char* kLogPending = "!!! Pending authorization\n";
constexpr const char* kLogRefused = "!!! Connection refused\n";
constexpr const char* kLogNotAvailable = "!!! Skype API not available\n";
constexpr const char* kLogAvailable = "!!! Try connect now (API available); issue #connect\n";

// Balloon kinds.
constexpr int kBalloonDiscover = 1;
constexpr int kBalloonAttached = 2;
constexpr int kBalloonClear = 3;
constexpr int kBalloonRefused = 4;
constexpr unsigned kBalloonTimeoutMs = 10000;
constexpr unsigned kBalloonTextBytes = 256;  // the shell's buffer, NUL included

// Commands.
constexpr const char* kSearchFriends = "SEARCH FRIENDS";
constexpr const char* kGetConnStatus = "GET CONNSTATUS";
constexpr const char* kGetCallPartner = "GET CALL %s PARTNER_HANDLE";
constexpr const char* kPlaceCall = "CALL %s";
constexpr const char* kGetUserStatus = "GET USER %s ONLINESTATUS";
constexpr const char* kGetMessagePartner = "GET MESSAGE %s PARTNER_HANDLE";
constexpr const char* kGetMessageBody = "GET MESSAGE %s BODY";

// Log lines.
constexpr const char* kLogNotification = "Skype(%u): %.*s";
constexpr const char* kLogReconnect = "ReFlash";
constexpr const char* kLogNoSelection = "no active!";
constexpr const char* kLogOnHook = "ON HOOK";
constexpr const char* kTraceSendPrefix = "Send ";

// Notification words (first word, properties, values); exact and case-sensitive.
constexpr const char* kWordUsers = "USERS";
constexpr const char* kWordUser = "USER";
constexpr const char* kWordCall = "CALL";
constexpr const char* kWordMessage = "MESSAGE";
constexpr const char* kWordCurrentUser = "CURRENTUSERHANDLE";
constexpr const char* kWordConnStatus = "CONNSTATUS";
constexpr const char* kWordAudioIn = "AUDIO_IN";
constexpr const char* kValueLoggedOut = "LOGGEDOUT";
constexpr const char* kWordError = "ERROR";  // the client's answer to a command it cannot carry out

// Longest first word of a notification, and the token reader's stop offset.
constexpr int kFirstWordMax = 100;
constexpr int kTokenStop = 100;
// Longest handset text (caller, contact, message partner), NUL not included.
constexpr int kHandsetTextMax = 20;
// Most words read from one contacts reply.
constexpr int kContactsReplyMax = 1000;

}  // namespace client

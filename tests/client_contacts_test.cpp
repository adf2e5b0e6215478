// The phone book: the contacts reply, its ordering, the status sweep, user notifications,
// the handset's menu texts and the chat-message fetch.
#include <cstring>
#include <string>
#include <vector>

#include "device/HandsetCodes.h"
#include "res/resource.h"
#include "tests/client_harness.h"

namespace client_test {
namespace {

// The menu code that finds the first contact beginning with this letter.
int Letter(char letter) { return handset::kMenuFirstLetter + (letter - 'A'); }
constexpr int kPrev = handset::kMenuStepUp;
constexpr int kNext = handset::kMenuStepDown;

class Contacts : public ClientHarness {
protected:
    // Attached, with the client answering nothing on its own.
    void Manual() {
        h.Client().SetAuto(false);
        Boot();
        ASSERT_EQ(Dlg().m_bContactScan, 1);
    }
    std::vector<std::string> Handles() {
        std::vector<std::string> out;
        for (const ContactRecord& r : Dlg().m_contacts) out.push_back(r.handle);
        return out;
    }
    std::string Cursor() {
        return Dlg().m_pContactCursor == Dlg().m_contacts.end() ? "<none>" : Dlg().m_pContactCursor->handle;
    }
    std::string Menu(int code) {
        char buffer[32];
        std::memset(buffer, 'x', sizeof buffer);
        Dlg().SelectContactText(code, buffer);
        return buffer;
    }
    // The handles as one sweep finds them, without a sweep running afterwards.
    void Listed(const std::string& users) {
        Manual();
        Say("USERS " + users);
        while (Dlg().m_bContactScan == 1) {
            const std::string cursor = Cursor();
            ASSERT_NE(cursor, "<none>");
            Say("USER " + cursor + " ONLINESTATUS ONLINE");
        }
        Mark();
    }
};

TEST_F(Contacts, ReplyIsOrderedAndTheSweepDropsOfflineContacts) {
    Manual();
    Say("USERS bob, Alice, carol, abe");
    EXPECT_EQ(Handles(), (std::vector<std::string>{"Alice", "abe", "bob", "carol"}));
    EXPECT_EQ(Commands(), std::vector<std::string>{"GET USER Alice ONLINESTATUS"});
    EXPECT_TRUE(Has(VoipLog(), "GET USER Alice ONLINESTATUS"));

    Mark();
    Say("USER Alice ONLINESTATUS ONLINE");
    Say("USER abe ONLINESTATUS OFFLINE");
    EXPECT_EQ(Handles(), (std::vector<std::string>{"Alice", "bob", "carol"}));
    // Not the one asked about: it counts all the same, and the question is not asked again.
    Say("USER carol ONLINESTATUS OFFLINE");
    EXPECT_EQ(Handles(), (std::vector<std::string>{"Alice", "bob"}));
    EXPECT_EQ(Commands(), (std::vector<std::string>{"GET USER abe ONLINESTATUS", "GET USER bob ONLINESTATUS"}));
    Say("USER bob ONLINESTATUS ONLINE");
    EXPECT_EQ(Dlg().m_bContactScan, 0);
    EXPECT_EQ(Cursor(), "Alice");
    EXPECT_EQ(Dlg().m_nLinkState, Ready);
}

// A reply comes again from a client that attached once more without a tear-down: it is
// swept whole again, and contacts it no longer lists are gone.
TEST_F(Contacts, EveryReplyIsSweptWholeAndReplacesTheList) {
    Listed("ann, bob, cid");
    Mark();
    Say("USERS bob, dee, cid");
    EXPECT_EQ(Handles(), (std::vector<std::string>{"bob", "cid", "dee"}));
    Say("USER bob ONLINESTATUS ONLINE");
    Say("USER cid ONLINESTATUS OFFLINE");
    Say("USER dee ONLINESTATUS AWAY");
    EXPECT_EQ(Commands(), (std::vector<std::string>{"GET USER bob ONLINESTATUS", "GET USER cid ONLINESTATUS",
                                                    "GET USER dee ONLINESTATUS"}));
    EXPECT_EQ(Handles(), (std::vector<std::string>{"bob", "dee"}));
    EXPECT_EQ(Dlg().m_bContactScan, 0);
}

TEST_F(Contacts, SimulatedClientSweepRunsToItsEnd) {
    h.Client().SetContacts({{"zoe", "ONLINE"}, {"Max", "OFFLINE"}, {"ann", "DND"}});
    Boot();
    h.Run(1000);
    EXPECT_EQ(Handles(), (std::vector<std::string>{"ann", "zoe"}));
    EXPECT_EQ(Dlg().m_bContactScan, 0);
}

TEST_F(Contacts, InsertionComparesWithoutCaseAndCaseDecidesTies) {
    Listed("Alice");
    Say("USER alice BUDDYSTATUS 3");
    EXPECT_EQ(Handles(), (std::vector<std::string>{"Alice", "alice"}));
    Say("USER bobby BUDDYSTATUS 3");
    Say("USER bob BUDDYSTATUS 3");
    EXPECT_EQ(Handles(), (std::vector<std::string>{"Alice", "alice", "bobby", "bob"}));
    Say("USER 1st BUDDYSTATUS 3");
    Say("USER \xC4rger BUDDYSTATUS 3");
    EXPECT_EQ(Handles(), (std::vector<std::string>{"1st", "Alice", "alice", "bobby", "bob", "\xC4rger"}));
}

TEST_F(Contacts, UpperCaseGoesDirectlyBeforeItsLowerCaseTwin) {
    Listed("alice");
    Say("USER Alice BUDDYSTATUS 3");
    EXPECT_EQ(Handles(), (std::vector<std::string>{"Alice", "alice"}));
}

TEST_F(Contacts, AfterTheSweepStatusNotificationsAddAndRemove) {
    Listed("bob, carol");
    Dlg().m_strUserHandle = "me";
    Say("USER dave ONLINESTATUS ONLINE");
    Say("USER me ONLINESTATUS ONLINE");
    Say("USER eve ONLINESTATUS OFFLINE");
    EXPECT_EQ(Handles(), (std::vector<std::string>{"bob", "carol", "dave"}));
    Say("USER carol BUDDYSTATUS 1");
    Say("USER bob BUDDYSTATUS 2");
    Say("USER dave ONLINESTATUS OFFLINE");
    EXPECT_EQ(Handles(), std::vector<std::string>{"bob"});
    Say("USER bob FULLNAME Bob  Builder");
    EXPECT_EQ(Dlg().m_contacts.front().fullName, "Bob  Builder");
    EXPECT_TRUE(Commands().empty());
}

TEST_F(Contacts, NoHandleIsListedTwice) {
    Listed("erin, fay");
    Say("USER erin BUDDYSTATUS 3");
    Say("USERS fay, erin, gus");
    EXPECT_EQ(Handles(), (std::vector<std::string>{"erin", "fay", "gus"}));
    Say("USER  BUDDYSTATUS 3");  // doubled blank: no handle
    EXPECT_EQ(Handles().size(), 3u);
}

TEST_F(Contacts, ReattachmentWithoutLogoutKeepsOneEntryPerContactAndEndsTheSweep) {
    h.Client().SetContacts({{"ann", "ONLINE"}, {"bob", "ONLINE"}});
    Boot();
    h.Run(1000);
    ASSERT_EQ(Handles(), (std::vector<std::string>{"ann", "bob"}));
    h.Command(ID_CONNECT_SOPHONE);
    h.Command(ID_CONNECT_SKYPE);
    EXPECT_EQ(Dlg().m_bContactScan, 1);
    h.Run(3000);
    EXPECT_EQ(Dlg().m_bClientAttached, 1);
    EXPECT_EQ(Handles(), (std::vector<std::string>{"ann", "bob"}));
    EXPECT_EQ(Dlg().m_bContactScan, 0);
    h.Run(60000);
    EXPECT_LE(h.Find("client>", "GET USER").size(), 6u);  // no question repeated without end
}

TEST_F(Contacts, ANewNameLeavesTheSweepRunning) {
    Manual();
    Say("USERS ann, bob");
    Say("USER bob FULLNAME Bob");
    EXPECT_EQ(Dlg().m_bContactScan, 1);
    Mark();
    Say("USER ann ONLINESTATUS ONLINE");
    EXPECT_EQ(Commands(), std::vector<std::string>{"GET USER bob ONLINESTATUS"});
}

// With no contacts reply (SoftPhone sends none) or during a sweep, a contact reported online
// is one more contact, and a removal during the sweep asks on.
TEST_F(Contacts, AContactReportedOnlineIsListedWhatever) {
    Manual();
    Say("USER zed ONLINESTATUS ONLINE");
    EXPECT_EQ(Handles(), std::vector<std::string>{"zed"});
    EXPECT_EQ(Menu(Letter('Z')), "zed");
    Say("USERS ann, bob");
    Mark();
    Say("USER ann BUDDYSTATUS 1");  // the contact asked about is gone: no answer will come
    EXPECT_EQ(Commands(), std::vector<std::string>{"GET USER bob ONLINESTATUS"});
}

TEST_F(Contacts, OverLongHandlesAreNotListed) {
    Manual();
    Say("USERS ann, " + std::string(99, 'x') + ", zed");
    EXPECT_EQ(Handles().front(), "ann");
    for (const std::string& handle : Handles()) EXPECT_LE(handle.size(), 98u);
    Mark();
    Say("USERS " + std::string(120, 'y') + ", bo");
    for (const std::string& handle : Handles()) EXPECT_LE(handle.size(), 98u);
}

TEST_F(Contacts, AtMostAThousandWordsAreReadFromOneReply) {
    Manual();
    std::string users;
    for (int i = 0; i < 1005; ++i) users += (i ? ", u" : "u") + std::to_string(10000 + i);
    Say("USERS " + users);
    EXPECT_EQ(Handles().size(), 1000u);
}

// ---- the handset's menu ----

TEST_F(Contacts, MenuCodesBrowseAndFindByLetter) {
    Listed("Alice, abe, bob");
    Dlg().StartContactMenu();
    EXPECT_EQ(Menu(kNext), "Alice");  // stepping starts at the first entry
    EXPECT_EQ(Menu(Letter('B')), "bob");
    EXPECT_EQ(Dlg().m_bContactSelected, 1);
    EXPECT_EQ(Menu(kNext), "Alice");  // from the last to the first
    EXPECT_EQ(Menu(kPrev), "bob");    // from the first to the last
    EXPECT_EQ(Menu(Letter('A')), "Alice");
    EXPECT_EQ(Menu(kNext), "abe");    // the one after what is shown
    EXPECT_EQ(Menu(Letter('C')), "");
    EXPECT_EQ(Dlg().m_bContactSelected, 0);
    EXPECT_EQ(Menu(kPrev), "Alice");  // nothing shown: the first entry either way
    EXPECT_EQ(Menu(handset::kMenuLastLetter + 1), "");
    EXPECT_EQ(Menu(0), "");
    EXPECT_EQ(VoipLog(), (std::vector<std::string>{"Alice", "bob", "Alice", "bob", "Alice", "abe", "", "Alice", "", ""}));
}

// The menu shows only contacts reported online: a listed contact whose status has not come
// is not there yet.
TEST_F(Contacts, OnlyContactsReportedOnlineAreShown) {
    Manual();
    Say("USERS ann, bob");
    Dlg().StartContactMenu();
    EXPECT_EQ(Menu(Letter('A')), "");
    EXPECT_EQ(Menu(kNext), "");
    Say("USER bob ONLINESTATUS DND");  // before its question: it counts
    EXPECT_EQ(Menu(kNext), "bob");
    EXPECT_EQ(Menu(Letter('A')), "");
    Say("USER ann ONLINESTATUS AWAY");
    EXPECT_EQ(Menu(kPrev), "ann");
}

TEST_F(Contacts, AShownContactThatLeavesIsNotCalledAndTheMenuGoesOnFromItsPlace) {
    Listed("ann, bob, cid, dee");
    Dlg().StartContactMenu();
    EXPECT_EQ(Menu(Letter('B')), "bob");
    Say("USER bob ONLINESTATUS OFFLINE");
    EXPECT_EQ(Dlg().m_bContactSelected, 0);  // '#' now calls nobody
    EXPECT_EQ(Menu(kNext), "cid");           // the one after the gap
    Say("USER cid BUDDYSTATUS 1");
    EXPECT_EQ(Menu(kPrev), "ann");           // the one before the gap
    Say("USER ann ONLINESTATUS OFFLINE");
    Say("USER dee ONLINESTATUS OFFLINE");
    EXPECT_EQ(Menu(kNext), "");
    Say("CONNSTATUS LOGGEDOUT");
    EXPECT_TRUE(Handles().empty());
}

// Shown again after the change: a letter finds its first contact again; a step shows what
// stands where the contact stood.
TEST_F(Contacts, RefreshShowsWhatStandsThereNow) {
    Listed("ann, abe, bob");
    Dlg().StartContactMenu();
    char buffer[32];
    EXPECT_EQ(Menu(Letter('A')), "abe");
    Say("USER abe ONLINESTATUS OFFLINE");
    Dlg().RefreshContactText(Letter('A'), buffer);
    EXPECT_EQ(std::string(buffer), "ann");
    EXPECT_EQ(Menu(kNext), "bob");
    Say("USER bob BUDDYSTATUS 1");
    Dlg().RefreshContactText(kNext, buffer);
    EXPECT_EQ(std::string(buffer), "ann");  // after the last, the first
    EXPECT_EQ(Dlg().m_bContactSelected, 1);
}

TEST_F(Contacts, LongHandleIsShownAsItsFirstTwentyBytesAndCalledWhole) {
    Listed("abcdefghijklmnopqrstuvwxy");
    EXPECT_EQ(Menu(Letter('A')), "abcdefghijklmnopqrst");
    EXPECT_EQ(Dlg().m_strDisplayName, "abcdefghijklmnopqrst");
    Dlg().PlaceCallToSelected();
    h.Run(kStepMs);
    EXPECT_TRUE(Has(Commands(), "CALL abcdefghijklmnopqrstuvwxy"));
    EXPECT_FALSE(Has(Commands(), "CALL abcdefghijklmnopqrst"));
    EXPECT_EQ(Dlg().m_bInCall, 1);
}

TEST_F(Contacts, LogoutEmptiesTheList) {
    Listed("ann, bob");
    Say("CONNSTATUS LOGGEDOUT");
    EXPECT_TRUE(Handles().empty());
    EXPECT_EQ(Menu(kNext), "");
}

// ---- chat messages ----

TEST_F(Contacts, ReadMessageIsFetchedAndKept) {
    Manual();
    Mark();
    Say("MESSAGE 88 STATUS RECEIVED");
    EXPECT_TRUE(Commands().empty());
    Say("MESSAGE 88 STATUS READ");
    EXPECT_EQ(Commands(), std::vector<std::string>{"GET MESSAGE 88 PARTNER_HANDLE"});
    Say("MESSAGE 87 PARTNER_HANDLE mallory");  // not the message being fetched
    EXPECT_TRUE(Dlg().m_strMessagePartner.empty());
    Say("MESSAGE 88 PARTNER_HANDLE a_sender_with_a_long_handle");
    EXPECT_EQ(Dlg().m_strMessagePartner, "a_sender_with_a_long_handle");
    Say("MESSAGE 88 BODY see you  soon");
    EXPECT_EQ(Dlg().m_strMessageBody, "see you  soon");
    EXPECT_EQ(Commands(), (std::vector<std::string>{"GET MESSAGE 88 PARTNER_HANDLE", "GET MESSAGE 88 BODY"}));
    for (const std::string& c : Commands()) EXPECT_TRUE(Has(VoipLog(), c));

    char buffer[32];
    Mark();
    Dlg().CopyMessagePartner(buffer);
    EXPECT_EQ(std::string(buffer), "a_sender_with_a_long");
    EXPECT_EQ(VoipLog(), std::vector<std::string>{"a_sender_with_a_long"});

    Mark();
    Say("MESSAGE  STATUS READ");  // no id: nothing to fetch
    EXPECT_TRUE(Commands().empty());
}

}  // namespace
}  // namespace client_test

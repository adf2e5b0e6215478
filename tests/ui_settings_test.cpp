// The settings page of the options sheet against the simulated base: its defaults and the
// one version request at opening, each action's request, the registration light, the
// All Reset chain, the radios' option controls and the sheet's life.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/BridgeDlg.h"
#include "device/Packet.h"
#include "tools/world/Harness.h"
#include "res/ResourceTables.h"
#include "res/resource.h"
#include "tests/ui_harness.h"
#include "ui/OptionsSheet.h"

namespace {

constexpr std::uint64_t kSettleMs = 8000;  // base found, link test passed, client attached
constexpr std::uint64_t kReplyMs = 500;    // a few polls: the base's answer is read
constexpr std::uint64_t kTimeoutMs = 2500; // beyond the 2000 ms reply supervision

std::string Hex(const std::vector<std::uint8_t>& bytes) { return pkt::Hex(bytes.data(), bytes.size()); }
std::string English(int id) { return res::FindString(id, res::Lang::English); }

class SettingsPage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.Ready());
        h.PlugBase();
        h.StartClient(sim::ClientKindSim::Skype);
        h.Start();
        h.Run(kSettleMs);
        ASSERT_NE(h.Bridge(), nullptr);
        ASSERT_EQ(h.Bridge()->m_nStatus, STATUS_READY);
    }

    void Open() {
        Mark();
        h.Command(ID_TRAY_OPTIONS);
        ASSERT_NE(ui_test::Window(h, IDD_SETTING), nullptr);
    }
    void Mark() { mark_ = h.Transcript().size(); }

    // Packets written to the base since the mark (keep-alive reports left out).
    std::vector<std::string> Packets() const {
        std::vector<std::string> out;
        for (const std::string& t : ui_test::TextsFrom(const_cast<sim::Harness&>(h), "usb>", mark_))
            if (t.rfind("2424", 0) == 0) out.push_back(t);
        return out;
    }
    std::vector<std::string> Boxes() const { return ui_test::TextsFrom(const_cast<sim::Harness&>(h), "msgbox", mark_); }

    const sim::ControlState& Ctl(int id) {
        const sim::ControlState* c = ui_test::Control(h, IDD_SETTING, id);
        EXPECT_NE(c, nullptr) << "control " << id;
        static const sim::ControlState none;
        return c ? *c : none;
    }
    bool Enabled(int id) { return Ctl(id).enabled; }
    void OnPage(std::function<void(CSettingPage&)> action) {
        ui_test::Deliver(h, IDD_SETTING, [action](plat::Dialog& d) { action(static_cast<CSettingPage&>(d)); });
    }

    ui_test::WorkFolder folder;
    sim::Harness h;
    std::size_t mark_ = 0;
};

TEST_F(SettingsPage, OpeningShowsTheDefaultsAndAsksForTheVersionOnce) {
    Open();
    EXPECT_EQ(ui_test::Window(h, IDD_SETTING)->caption, English(IDS_OPTIONS));
    // Loopback is the one checked radio; the option controls stay disabled.
    for (int radio : {IDC_DELETE_ALL, IDC_DELETE_ONE, IDC_PAGING, IDC_GET_VERSION, IDC_RADIO_1061, IDC_RADIO_1068})
        EXPECT_FALSE(Ctl(radio).checked) << radio;
    EXPECT_TRUE(Ctl(IDC_LOOPBACK).checked);
    EXPECT_EQ(Ctl(IDC_LOOPBACK).text, English(IDS_LOOPBACK_LABEL));
    EXPECT_EQ(Ctl(IDC_GET_VERSION).text, English(IDS_GET_VERSION_LABEL));
    EXPECT_EQ(Ctl(IDC_HANDSET_LIST).items, (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(Ctl(IDC_HANDSET_LIST).selection, 0);
    EXPECT_EQ(Ctl(IDC_PAGING_COMBO).items, (std::vector<std::string>{"STOP", "START"}));
    EXPECT_EQ(Ctl(IDC_PAGING_COMBO).selection, 1);
    EXPECT_EQ(Ctl(IDC_LOOPBACK_DELAY).selection, 3);
    for (int id : {IDC_HANDSET_LIST, IDC_PAGING_COMBO, IDC_VERSION_TEXT, IDC_LOOPBACK_DELAY, IDC_HIDDEN_EDIT})
        EXPECT_FALSE(Enabled(id)) << id;
    // Decision: the unused radios and options, and All Reset, stay out of reach.
    for (int id : {IDC_RADIO_1061, IDC_RADIO_1068, IDC_LOOPBACK_DELAY, IDC_HIDDEN_EDIT, IDC_ALL_RESET})
        EXPECT_FALSE(Ctl(id).visible) << id;
    std::string error;
    EXPECT_FALSE(h.Click("options", IDC_ALL_RESET, &error));
    EXPECT_NE(error.find("hidden"), std::string::npos);
    EXPECT_EQ(Ctl(IDC_STATIC_1052).text, "");
    EXPECT_EQ(Ctl(IDC_LIGHT).icon, IDI_LIGHT_OFF);
    EXPECT_TRUE(Enabled(IDC_EXECUTE));
    EXPECT_TRUE(Enabled(IDC_REGISTER));

    EXPECT_EQ(Packets(), std::vector<std::string>{Hex(pkt::Base(pkt::BASE_GET_VERSION))});
    h.Run(kReplyMs);
    EXPECT_EQ(Ctl(IDC_VERSION_TEXT).text, "VA6-BASE 1.0");
    EXPECT_EQ(Packets().size(), 1u);
    EXPECT_TRUE(Boxes().empty());

    // Options again raises the open sheet: no second page, no second request.
    h.Command(ID_TRAY_OPTIONS);
    EXPECT_EQ(h.Find("window", "created options").size(), 1u);
    EXPECT_EQ(Packets().size(), 1u);
}

TEST_F(SettingsPage, DeleteOneHandsetSendsTheChosenNumber) {
    Open();
    h.Run(kReplyMs);
    ASSERT_TRUE(h.CheckRadio("options", IDC_DELETE_ONE));
    ASSERT_TRUE(h.Select("options", IDC_HANDSET_LIST, 2));
    Mark();
    ASSERT_TRUE(h.Click("options", IDC_EXECUTE));
    EXPECT_EQ(Packets(), std::vector<std::string>{Hex(pkt::Base(pkt::BASE_DELETE_HANDSET, 3))});
    h.Run(kReplyMs);
    EXPECT_EQ(Boxes(), std::vector<std::string>{English(IDS_DELETE_FINISHED)});

    // A reply naming another handset is not ours: the supervision ends in its time-out.
    h.Base().SetReplies(false);
    Mark();
    ASSERT_TRUE(h.Click("options", IDC_EXECUTE));
    h.Base().SendPacket(pkt::EVT_COMMAND_REPLY, {pkt::BASE_DELETE_HANDSET, 2});
    h.Run(kTimeoutMs);
    EXPECT_EQ(Boxes(), std::vector<std::string>{English(IDS_NO_REPLY)});
}

TEST_F(SettingsPage, PagingSendsTheSelectedIndexAndShowsNothing) {
    Open();
    h.Run(kReplyMs);
    ASSERT_TRUE(h.CheckRadio("options", IDC_PAGING));
    ASSERT_TRUE(h.Select("options", IDC_PAGING_COMBO, 0));
    Mark();
    ASSERT_TRUE(h.Click("options", IDC_EXECUTE));
    ASSERT_TRUE(h.Click("options", IDC_EXECUTE));  // no button goes grey: a second request
    h.Run(kTimeoutMs);
    const std::string stop = Hex(pkt::Base(pkt::BASE_PAGING, 0));
    EXPECT_EQ(Packets(), (std::vector<std::string>{stop, stop}));
    EXPECT_TRUE(Boxes().empty());
}

// Decision: with text typed into the paging combo and no item selected, an item's text
// counts as that item; any other text pages nobody.
TEST_F(SettingsPage, TypedPagingTextCountsOnlyWhenItNamesAnItem) {
    Open();
    h.Run(kReplyMs);
    ASSERT_TRUE(h.CheckRadio("options", IDC_PAGING));
    const plat::WindowHandle page = ui_test::Window(h, IDD_SETTING)->handle;
    h.Platform().windows.SetSelection(page, IDC_PAGING_COMBO, -1);
    h.Platform().windows.SetText(page, IDC_PAGING_COMBO, "page all");
    Mark();
    ASSERT_TRUE(h.Click("options", IDC_EXECUTE));
    EXPECT_TRUE(Packets().empty());

    h.Platform().windows.SetText(page, IDC_PAGING_COMBO, " start");
    ASSERT_TRUE(h.Click("options", IDC_EXECUTE));
    EXPECT_EQ(Packets(), std::vector<std::string>{Hex(pkt::Base(pkt::BASE_PAGING, 1))});
}

TEST_F(SettingsPage, LoopbackAndVersionFromTheirRadios) {
    Open();
    h.Run(kReplyMs);
    Mark();
    ASSERT_TRUE(h.Click("options", IDC_EXECUTE));  // Loopback is checked at opening
    h.Run(kReplyMs);
    EXPECT_EQ(Boxes(), std::vector<std::string>{English(IDS_LOOPBACK_OK)});

    h.Base().SetVersion("VA6-BASE 2.0");
    ASSERT_TRUE(h.CheckRadio("options", IDC_GET_VERSION));
    EXPECT_TRUE(Enabled(IDC_VERSION_TEXT));
    Mark();
    ASSERT_TRUE(h.Click("options", IDC_EXECUTE));
    h.Run(kReplyMs);
    EXPECT_EQ(Packets(), std::vector<std::string>{Hex(pkt::Base(pkt::BASE_GET_VERSION))});
    EXPECT_EQ(Ctl(IDC_VERSION_TEXT).text, "VA6-BASE 2.0");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SettingsPage, RegisterLightStaysGreenUntilTheBaseEndsRegistration) {
    Open();
    Mark();
    ASSERT_TRUE(h.Click("options", IDC_REGISTER));
    EXPECT_EQ(Ctl(IDC_LIGHT).icon, IDI_LIGHT_ON);
    EXPECT_EQ(Packets(), std::vector<std::string>{Hex(pkt::Base(pkt::BASE_OPEN_REGISTRATION))});
    h.Run(20000);
    EXPECT_EQ(Ctl(IDC_LIGHT).icon, IDI_LIGHT_ON);
    EXPECT_TRUE(Boxes().empty());
    h.Base().RegisterEnd();
    h.Run(kReplyMs);
    EXPECT_EQ(Ctl(IDC_LIGHT).icon, IDI_LIGHT_OFF);
}

TEST_F(SettingsPage, AllResetWithAHealthyBaseShowsOnlyFinished) {
    Open();
    h.Run(kReplyMs);
    Mark();
    OnPage([](CSettingPage& page) { page.OnAllReset(); });
    EXPECT_EQ(h.Bridge()->m_bSettingChain, 1);
    EXPECT_FALSE(Enabled(IDC_EXECUTE));
    EXPECT_FALSE(Enabled(IDC_REGISTER));
    h.Run(2000);
    EXPECT_EQ(Boxes(), std::vector<std::string>{English(IDS_FINISHED)});
    EXPECT_TRUE(Enabled(IDC_EXECUTE));
    EXPECT_TRUE(Enabled(IDC_REGISTER));
    EXPECT_EQ(h.Bridge()->m_bSettingChain, 0);
    // Loopback, delete all, reset: in this order and nothing else.
    const std::vector<std::string> sent = Packets();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].substr(0, 10), Hex(pkt::Loopback(0)).substr(0, 10));
    EXPECT_EQ(sent[1], Hex(pkt::Base(pkt::BASE_DELETE_ALL)));
    EXPECT_EQ(sent[2], Hex(pkt::Base(pkt::BASE_RESET)));
}

TEST_F(SettingsPage, AllResetWithoutAnEchoFailsAndGivesTheButtonsBack) {
    Open();
    h.Run(kReplyMs);
    h.Base().SetEcho(false);
    Mark();
    OnPage([](CSettingPage& page) { page.OnAllReset(); });
    EXPECT_FALSE(Enabled(IDC_EXECUTE));
    h.Run(kTimeoutMs);
    EXPECT_EQ(Boxes(), std::vector<std::string>{English(IDS_LOOPBACK_FAIL)});
    EXPECT_TRUE(Enabled(IDC_EXECUTE));
    EXPECT_TRUE(Enabled(IDC_REGISTER));
    EXPECT_EQ(Packets().size(), 1u);
}

TEST_F(SettingsPage, EachRadioEnablesItsOwnOptionOnly) {
    Open();
    struct Row {
        int radio;
        bool handset, paging, version;
    };
    const Row rows[] = {
        {IDC_DELETE_ONE, true, false, false}, {IDC_PAGING, false, true, false},
        {IDC_GET_VERSION, false, false, true}, {IDC_DELETE_ALL, false, false, false},
        {IDC_DELETE_ONE, true, false, false}, {IDC_LOOPBACK, false, false, false},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(h.CheckRadio("options", row.radio));
        EXPECT_EQ(Enabled(IDC_HANDSET_LIST), row.handset) << row.radio;
        EXPECT_EQ(Enabled(IDC_PAGING_COMBO), row.paging) << row.radio;
        EXPECT_EQ(Enabled(IDC_VERSION_TEXT), row.version) << row.radio;
        EXPECT_FALSE(Enabled(IDC_LOOPBACK_DELAY)) << row.radio;
        EXPECT_FALSE(Enabled(IDC_HIDDEN_EDIT)) << row.radio;
    }
    // The hidden radios' handlers, reached only from inside: 1068 runs a loopback, 1061 nothing.
    OnPage([](CSettingPage& page) { page.CheckItem(IDC_RADIO_1061, true); page.OnCommand(IDC_RADIO_1061); });
    EXPECT_FALSE(Enabled(IDC_HANDSET_LIST));
    Mark();
    OnPage([](CSettingPage& page) { page.OnExecute(); });
    EXPECT_TRUE(Packets().empty());
    OnPage([](CSettingPage& page) { page.CheckItem(IDC_RADIO_1068, true); page.OnExecute(); });
    ASSERT_EQ(Packets().size(), 1u);
    EXPECT_EQ(Packets()[0].substr(0, 10), Hex(pkt::Loopback(0)).substr(0, 10));
}

TEST_F(SettingsPage, ClosedSheetOpensAgainFreshAndAsksAgain) {
    Open();
    ASSERT_TRUE(h.Click("options", IDC_REGISTER));
    ASSERT_TRUE(h.Close("options"));
    EXPECT_EQ(ui_test::Window(h, IDD_SETTING), nullptr);
    ASSERT_NE(h.Bridge()->m_pOptionsSheet, nullptr);
    EXPECT_FALSE(h.Bridge()->m_pOptionsSheet->IsWindow());
    // What the base reports now reaches no page.
    h.Base().RegisterEnd();
    h.Run(kReplyMs);

    Open();
    EXPECT_EQ(Ctl(IDC_LIGHT).icon, IDI_LIGHT_OFF);
    EXPECT_TRUE(Ctl(IDC_LOOPBACK).checked);
    EXPECT_EQ(Ctl(IDC_VERSION_TEXT).text, "");
    EXPECT_EQ(Packets(), std::vector<std::string>{Hex(pkt::Base(pkt::BASE_GET_VERSION))});
}

TEST_F(SettingsPage, VersionTextStopsAtItsLengthAndAtANul) {
    Open();
    const std::uint8_t text[] = {'V', 'A', '6', 0, 'X', 'Y'};
    OnPage([&](CSettingPage& page) { page.SetVersionText(text, 6); });
    EXPECT_EQ(Ctl(IDC_VERSION_TEXT).text, "VA6");
    OnPage([&](CSettingPage& page) { page.SetVersionText(text, 2); });
    EXPECT_EQ(Ctl(IDC_VERSION_TEXT).text, "VA");
    OnPage([&](CSettingPage& page) { page.SetVersionText(text, -1); });
    EXPECT_EQ(Ctl(IDC_VERSION_TEXT).text, "");
}

// The run-time labels and the sheet's caption come from the string table of the user's
// language, as the template's texts do.
TEST(SettingsPageLanguage, ChineseLabelsAndCaption) {
    ui_test::WorkFolder folder;
    ASSERT_TRUE(folder.Ready());
    sim::Options options;
    options.lang = "zh-TW";
    sim::Harness h(options);
    h.PlugBase();
    h.Start();
    h.Run(kSettleMs);
    h.Command(ID_TRAY_OPTIONS);
    const sim::WindowState* page = ui_test::Window(h, IDD_SETTING);
    ASSERT_NE(page, nullptr);
    const auto zh = [](int id) { return res::FindString(id, res::Lang::TraditionalChinese); };
    EXPECT_EQ(page->caption, zh(IDS_OPTIONS));
    const sim::ControlState* loopback = ui_test::Control(h, IDD_SETTING, IDC_LOOPBACK);
    const sim::ControlState* version = ui_test::Control(h, IDD_SETTING, IDC_GET_VERSION);
    ASSERT_NE(loopback, nullptr);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(loopback->text, zh(IDS_LOOPBACK_LABEL));
    EXPECT_EQ(version->text, zh(IDS_GET_VERSION_LABEL));
    EXPECT_NE(version->text, English(IDS_GET_VERSION_LABEL));
}

}  // namespace

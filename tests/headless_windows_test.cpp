// Windows as data on the headless platform: controls from the templates, the radio
// group, user actions and their refusals, the control listing, the debug lists as log
// lines, and the tray icon with its menu.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "platform/Platform.h"
#include "tools/world/Harness.h"
#include "res/ResourceTables.h"
#include "res/resource.h"

namespace {

// A dialog of any template that logs the commands, closes and messages it gets.
class Page : public plat::Dialog {
public:
    Page(int templateId, std::vector<std::string>& log) : plat::Dialog(templateId), log_(log) {}
    std::function<void()> onInit;

    bool OnInitDialog() override {
        if (onInit) onInit();
        return true;
    }
    bool OnCommand(int id) override {
        log_.push_back("command " + std::to_string(id));
        return true;
    }
    void OnClose() override {
        log_.push_back("close");
        DestroyWindow();
    }
    bool OnMessage(unsigned message, std::uintptr_t wparam, std::intptr_t lparam, std::intptr_t& result) override {
        (void)result;
        log_.push_back("message " + std::to_string(message) + " " + std::to_string(wparam) + " " +
                       std::to_string(lparam));
        return true;
    }

private:
    std::vector<std::string>& log_;
};

// A main dialog (155) that opens a modeless window of the template at its start. The
// test then works the windows directly: the process is parked between harness calls.
struct WindowsTest : ::testing::Test {
    sim::Harness harness;
    std::vector<std::string> log;
    Page* main = nullptr;
    Page* page = nullptr;

    bool Open(int templateId) {
        if (!res::FindDialog(templateId, res::Lang::English)) return false;
        harness.StartWith([this, templateId] {
            Page m(IDD_BRIDGE, log);
            Page p(templateId, log);
            main = &m;
            page = &p;
            m.onInit = [&] { p.Create(&m); };
            const int result = m.DoModal();
            main = page = nullptr;
            return result;
        });
        return page && page->IsWindow();
    }
    std::vector<std::string> Lines(const std::string& kind) const {
        std::vector<std::string> out;
        for (const sim::Line& l : harness.Find(kind)) out.push_back(l.text);
        return out;
    }
};

#define OPEN_OR_SKIP(id) \
    if (!Open(id)) GTEST_SKIP() << "the resource tables are not in the tree yet"

TEST_F(WindowsTest, UserActionsNameWhatIsMissing) {
    std::string error;
    EXPECT_FALSE(harness.Click("nowhere", 1, &error));
    EXPECT_NE(error.find("unknown window"), std::string::npos);
    EXPECT_FALSE(harness.Show("info", &error));
    EXPECT_NE(error.find("not open"), std::string::npos);
}

TEST_F(WindowsTest, TheAutoRadiosOfADialogFormOneGroup) {
    OPEN_OR_SKIP(IDD_SETTING);
    ASSERT_TRUE(harness.CheckRadio("options", IDC_DELETE_ONE));
    EXPECT_TRUE(page->IsItemChecked(IDC_DELETE_ONE));
    EXPECT_EQ(log.back(), "command " + std::to_string(IDC_DELETE_ONE));
    page->CheckItem(IDC_LOOPBACK, true);  // the program checks another one
    EXPECT_TRUE(page->IsItemChecked(IDC_LOOPBACK));
    EXPECT_FALSE(page->IsItemChecked(IDC_DELETE_ONE));
    ASSERT_TRUE(harness.CheckRadio("options", IDC_PAGING));
    EXPECT_FALSE(page->IsItemChecked(IDC_LOOPBACK));
    std::string error;
    page->ShowItem(IDC_RADIO_1061, false);
    EXPECT_FALSE(harness.CheckRadio("options", IDC_RADIO_1061, &error));
    EXPECT_NE(error.find("hidden"), std::string::npos);
    EXPECT_FALSE(harness.CheckRadio("options", IDC_EXECUTE, &error));  // a push button
    EXPECT_TRUE(page->IsItemChecked(IDC_PAGING));
}

TEST_F(WindowsTest, DisabledOrHiddenControlsCannotBeUsed) {
    OPEN_OR_SKIP(IDD_SETTING);
    ASSERT_TRUE(harness.Click("options", IDC_EXECUTE));
    EXPECT_EQ(log.back(), "command " + std::to_string(IDC_EXECUTE));
    page->EnableItem(IDC_EXECUTE, false);
    std::string error;
    EXPECT_FALSE(harness.Click("options", IDC_EXECUTE, &error));
    EXPECT_NE(error.find("disabled"), std::string::npos);
    EXPECT_FALSE(harness.Click("options", IDC_ALL_RESET, &error));  // hidden by its template
    EXPECT_NE(error.find("hidden"), std::string::npos);
    EXPECT_FALSE(harness.Click("options", 4242, &error));
    EXPECT_NE(error.find("no control 4242"), std::string::npos);
    EXPECT_EQ(log.back(), "command " + std::to_string(IDC_EXECUTE));  // nothing more arrived

    for (const char* item : {"1", "2", "3", "4"}) page->AddItemString(IDC_HANDSET_LIST, item);
    EXPECT_FALSE(harness.Select("options", IDC_HANDSET_LIST, 2, &error));  // disabled by its template
    page->EnableItem(IDC_HANDSET_LIST, true);
    ASSERT_TRUE(harness.Select("options", IDC_HANDSET_LIST, 2));
    EXPECT_EQ(page->GetCurSel(IDC_HANDSET_LIST), 2);
    EXPECT_FALSE(harness.Select("options", IDC_HANDSET_LIST, 4, &error));
    EXPECT_NE(error.find("no item 4"), std::string::npos);
    EXPECT_EQ(page->GetCurSel(IDC_HANDSET_LIST), 2);
}

TEST_F(WindowsTest, ShowListsTheCaptionAndEveryControlInIdOrder) {
    OPEN_OR_SKIP(IDD_SETTING);
    page->CheckItem(IDC_LOOPBACK, true);
    page->AddItemString(IDC_PAGING_COMBO, "STOP");
    page->AddItemString(IDC_PAGING_COMBO, "START");
    page->SetCurSel(IDC_PAGING_COMBO, 1);
    page->SetDlgItemText(IDC_VERSION_TEXT, "VA6-BASE 1.0");
    const std::size_t before = harness.Transcript().size();
    ASSERT_TRUE(harness.Show("options"));
    std::vector<std::string> shown;
    for (std::size_t i = before; i < harness.Transcript().size(); ++i) {
        EXPECT_EQ(harness.Transcript()[i].kind, "control");
        shown.push_back(harness.Transcript()[i].text);
    }
    const res::DialogTemplate* t = res::FindDialog(IDD_SETTING, res::Lang::English);
    ASSERT_EQ(shown.size(), t->controls.size() + 1);
    EXPECT_EQ(shown[0], "options caption \"" + t->caption + "\"");
    int lastId = -1000;
    for (std::size_t i = 1; i < shown.size(); ++i) {
        const int id = std::stoi(shown[i].substr(std::string("options ").size()));
        EXPECT_LE(lastId, id);
        lastId = id;
    }
    auto line = [&](int id) {
        for (const std::string& s : shown)
            if (s.rfind("options " + std::to_string(id) + " ", 0) == 0) return s;
        return std::string();
    };
    EXPECT_NE(line(IDC_LOOPBACK).find(" checked"), std::string::npos);
    EXPECT_EQ(line(IDC_DELETE_ALL).find(" checked"), std::string::npos);
    EXPECT_NE(line(IDC_PAGING_COMBO).find("sel=1"), std::string::npos);
    EXPECT_NE(line(IDC_PAGING_COMBO).find("items=2"), std::string::npos);
    EXPECT_NE(line(IDC_PAGING_COMBO).find(" disabled"), std::string::npos);
    EXPECT_NE(line(IDC_LIGHT).find("icon=" + std::to_string(IDI_LIGHT_OFF)), std::string::npos);
    EXPECT_EQ(line(IDC_VERSION_TEXT).find("options 1062 \"VA6-BASE 1.0\" disabled visible"), 0u);
    EXPECT_NE(line(IDC_ALL_RESET).find(" hidden"), std::string::npos);
}

TEST_F(WindowsTest, LinesInsertedIntoTheDebugListsAreLogLines) {
    OPEN_OR_SKIP(IDD_DEBUG);
    page->InsertItemString(IDC_DEVICE_LOG, 0, "07:03 OFF HOOK");
    page->InsertItemString(IDC_DEVICE_LOG, 0, "07:04 ON HOOK");
    page->InsertItemString(IDC_VOIP_LOG, 0, "07:04 FindUSB");
    page->InsertItemString(IDC_VOIP_LOG, 5, "out of range");  // refused, as LB_ERR
    EXPECT_EQ(page->GetItemString(IDC_DEVICE_LOG, 0), "07:04 ON HOOK");
    EXPECT_EQ(page->GetItemString(IDC_DEVICE_LOG, 1), "07:03 OFF HOOK");
    EXPECT_EQ(page->GetItemCount(IDC_VOIP_LOG), 1);
    EXPECT_EQ(Lines("device-log"), (std::vector<std::string>{"07:03 OFF HOOK", "07:04 ON HOOK"}));
    EXPECT_EQ(Lines("voip-log"), (std::vector<std::string>{"07:04 FindUSB"}));
}

TEST_F(WindowsTest, TheCloseBoxReachesTheWindow) {
    OPEN_OR_SKIP(IDD_DEBUG);
    ASSERT_TRUE(harness.Close("debug"));
    EXPECT_EQ(log.back(), "close");
    EXPECT_FALSE(page->IsWindow());
    std::string error;
    EXPECT_FALSE(harness.Show("debug", &error));
    EXPECT_EQ(Lines("window"), (std::vector<std::string>{"created main", "created debug", "destroyed debug"}));
}

TEST_F(WindowsTest, AnOwnerTakesItsWindowsAlongAndAnUnknownTemplateStillGivesAWindow) {
    constexpr int kUnknownTemplate = 4000;
    harness.StartWith([this] {
        Page m(IDD_BRIDGE, log);
        Page p(kUnknownTemplate, log);
        main = &m;
        page = &p;
        m.onInit = [&] { p.Create(&m); };
        const int result = m.DoModal();
        main = page = nullptr;
        return result;
    });
    ASSERT_TRUE(page->IsWindow());
    EXPECT_FALSE(page->HasItem(1000));
    main->EndDialog(7);
    harness.Run(0);
    EXPECT_TRUE(harness.Ended());
    EXPECT_EQ(harness.ExitCode(), 7);
    EXPECT_EQ(Lines("window"), (std::vector<std::string>{"created main", "created dialog4000",
                                                         "destroyed dialog4000", "destroyed main"}));
    EXPECT_EQ(Lines("exit"), (std::vector<std::string>{"7"}));
}

TEST_F(WindowsTest, TheTrayIconTakesBalloonsAndCallsItsOwnerBack) {
    harness.StartWith([this] {
        Page m(IDD_BRIDGE, log);
        main = &m;
        const int result = m.DoModal();
        main = nullptr;
        return result;
    });
    harness.TrayCallback(516);  // no icon yet: nobody is called
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(plat::tray().ShowBalloon(main->Handle(), 128, "too early", 10000));
    ASSERT_TRUE(plat::tray().AddIcon(main->Handle(), 128, 1124, IDI_APP, "Bridger"));
    EXPECT_TRUE(plat::tray().ShowBalloon(main->Handle(), 128, "Sucessfully established connection to VOIP.", 10000));
    EXPECT_TRUE(plat::tray().ShowBalloon(main->Handle(), 128, "", 10000));
    harness.TrayCallback(515);
    EXPECT_EQ(log, (std::vector<std::string>{"message 1124 128 515"}));
    EXPECT_TRUE(plat::tray().RemoveIcon(main->Handle(), 128));
    EXPECT_FALSE(plat::tray().RemoveIcon(main->Handle(), 128));
    EXPECT_EQ(Lines("tray"), (std::vector<std::string>{"add Bridger", "remove"}));
    EXPECT_EQ(Lines("balloon"), (std::vector<std::string>{"Sucessfully established connection to VOIP.", ""}));
    if (!res::FindMenu(IDR_TRAY_MENU, res::Lang::English)) return;  // the menu needs the resource tables
    const plat::Handle menu = plat::tray().LoadMenu(IDR_TRAY_MENU);
    const plat::Handle popup = plat::tray().SubMenu(menu, 0);
    ASSERT_NE(popup, plat::kNullHandle);
    const auto& items = (*res::FindMenu(IDR_TRAY_MENU, res::Lang::English))[0].popup;
    ASSERT_GE(items.size(), 2u);
    plat::tray().DeleteMenuItem(popup, 0);
    plat::tray().TrackPopupMenu(popup, main->Handle());
    plat::tray().DestroyMenu(menu);
    const std::string shown = Lines("tray").back();
    EXPECT_EQ(shown.rfind("menu ", 0), 0u);
    EXPECT_EQ(shown.find(items[0].text + "|"), std::string::npos);
    EXPECT_NE(shown.find(items[1].text), std::string::npos);
    EXPECT_EQ(plat::tray().SubMenu(menu, 0), plat::kNullHandle);  // destroyed with its menu
}

}  // namespace

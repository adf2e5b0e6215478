// The resource tables' keyboard keys, radio groups and tray menu, and the language a
// headless process shows its windows in.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "tools/world/Harness.h"
#include "res/ResourceTables.h"
#include "res/resource.h"

namespace {

using res::ControlKind;
using res::Lang;

const Lang kLangs[] = {Lang::English, Lang::TraditionalChinese};

// A hidden main dialog that opens one more window when it starts, as the bridge does.
class Host : public plat::Dialog {
public:
    explicit Host(plat::Dialog& other) : plat::Dialog(IDD_BRIDGE), other_(other) {}
    bool OnInitDialog() override { return other_.Create(this); }

private:
    plat::Dialog& other_;
};

// Runs a host with a window of the template in the harness's process; the window while
// the process runs.
plat::Dialog* OpenInProcess(sim::Harness& harness, int templateId) {
    plat::Dialog* window = nullptr;
    harness.StartWith([&window, templateId] {
        plat::Dialog w(templateId);
        Host host(w);
        window = &w;  // read only while the process runs: nothing writes it afterwards
        return host.DoModal();
    });
    return window;
}

TEST(ResourceKeys, AnAmpersandMarksTheKeyAndShowsAsNothing) {
    EXPECT_EQ(res::VisibleText("E&xit"), "Exit");
    EXPECT_EQ(res::VisibleText("Tom && Jerry"), "Tom & Jerry");
    EXPECT_EQ(res::VisibleText("trailing&"), "trailing&");
    EXPECT_EQ(res::KeyOf("E&xit"), 'x');
    EXPECT_EQ(res::KeyOf("&Loopback "), 'l');
    EXPECT_EQ(res::KeyOf("Tom && Jerry"), 0);
    EXPECT_EQ(res::KeyOf("資訊"), 0);
}

TEST(ResourceKeys, EachEnglishWindowHasItsOwnKeyPerControl) {
    // The keys of the controls a user sees, the settings page's run-time labels included.
    const struct {
        int dialog;
        std::string keys;
    } windows[] = {{IDD_SETTING, "dglopr"}, {IDD_INFO, "nsv"}, {IDD_DEBUG, "sw"}, {IDD_SETUP, "w"}};
    for (const auto& w : windows) {
        const res::DialogTemplate& d = *res::FindDialog(w.dialog, Lang::English);
        std::string keys;
        for (const res::ControlTemplate& c : d.controls) {
            if (c.flags & res::kHidden) continue;
            std::string text = c.text;
            if (c.id == IDC_LOOPBACK) text = res::FindString(IDS_LOOPBACK_LABEL, Lang::English);
            if (c.id == IDC_GET_VERSION) text = res::FindString(IDS_GET_VERSION_LABEL, Lang::English);
            if (const char key = res::KeyOf(text)) keys += key;
        }
        std::string sorted = keys;
        std::sort(sorted.begin(), sorted.end());
        std::string expected = w.keys;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(sorted, expected) << "dialog " << w.dialog;
        EXPECT_EQ(std::set<char>(keys.begin(), keys.end()).size(), keys.size()) << "dialog " << w.dialog;
    }
    // The tray menu as it shows: Info, Options, Exit.
    std::string keys;
    for (const res::MenuItem& item : (*res::FindMenu(IDR_TRAY_MENU, Lang::English))[0].popup)
        if (item.id != 0) keys += res::KeyOf(item.text);
    EXPECT_EQ(keys, "iox");
}

TEST(ResourceKeys, TheChineseTextsStayAsTheyAre) {
    // No Latin letter to underline, and "(&X)" would add to what they say.
    for (int dialog : {IDD_SETTING, IDD_INFO})
        for (const res::ControlTemplate& c : res::FindDialog(dialog, Lang::TraditionalChinese)->controls)
            EXPECT_EQ(res::KeyOf(c.text), 0) << c.text;
    for (const res::MenuItem& item : (*res::FindMenu(IDR_TRAY_MENU, Lang::TraditionalChinese))[0].popup)
        EXPECT_EQ(res::VisibleText(item.text), item.text);
}

TEST(ResourceDialogs, OnlyTheFirstRadioOpensAGroupAndTheOkButtonClosesIt) {
    // The dialog manager treats the controls from one group flag to the next as one group:
    // a flag between the radios would split them.
    for (Lang lang : kLangs) {
        const res::DialogTemplate& d = *res::FindDialog(IDD_SETTING, lang);
        bool inGroup = false;
        std::set<int> radios;
        for (const res::ControlTemplate& c : d.controls) {
            if (c.flags & res::kGroup) {
                if (inGroup) {
                    EXPECT_EQ(c.id, IDC_EXECUTE);
                    break;
                }
                EXPECT_EQ(c.id, IDC_DELETE_ALL);
                inGroup = true;
            }
            if (inGroup && c.kind == ControlKind::AutoRadio) radios.insert(c.id);
        }
        EXPECT_EQ(radios, (std::set<int>{IDC_DELETE_ALL, IDC_DELETE_ONE, IDC_PAGING, IDC_LOOPBACK, IDC_GET_VERSION,
                                         IDC_RADIO_1061, IDC_RADIO_1068}));
    }
}

TEST(ResourceMenu, TheTrayMenuInBothLanguages) {
    const std::vector<std::string> expected[] = {
        {"&Info", "Connect", "&Options", "E&xit"},
        {"資訊", "連線", "選項", "離開"},
    };
    for (int i = 0; i < 2; ++i) {
        const std::vector<res::MenuItem>* menu = res::FindMenu(IDR_TRAY_MENU, kLangs[i]);
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->size(), 1u);
        const res::MenuItem& top = (*menu)[0];
        EXPECT_EQ(top.text, "_TRSY_");
        EXPECT_EQ(top.id, 0);
        ASSERT_EQ(top.popup.size(), 4u);
        std::vector<std::string> texts;
        for (const res::MenuItem& item : top.popup) texts.push_back(item.text);
        EXPECT_EQ(texts, expected[i]);
        EXPECT_EQ(top.popup[0].id, ID_TRAY_INFO);
        EXPECT_EQ(top.popup[1].id, 0);
        EXPECT_EQ(top.popup[2].id, ID_TRAY_OPTIONS);
        EXPECT_EQ(top.popup[3].id, ID_TRAY_EXIT);
        const std::vector<res::MenuItem>& connect = top.popup[1].popup;
        ASSERT_EQ(connect.size(), 2u);
        EXPECT_EQ(connect[0].text, "SKYPE");
        EXPECT_EQ(connect[0].id, ID_CONNECT_SKYPE);
        EXPECT_EQ(connect[1].text, "SOPHONE");
        EXPECT_EQ(connect[1].id, ID_CONNECT_SOPHONE);
    }
    EXPECT_EQ(res::FindMenu(4000, Lang::English), nullptr);
}

// A headless process in Chinese gets the Chinese templates and menu.
TEST(ResourceLanguage, AChineseProcessShowsTheChineseTemplates) {
    sim::Options options;
    options.lang = "zh-TW";
    sim::Harness harness(options);
    plat::Dialog* info = OpenInProcess(harness, IDD_INFO);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetDlgItemText(IDC_INFO_VOIP_LABEL), "網路電話");
    EXPECT_EQ(info->GetDlgItemText(IDC_INFO_STATUS_LABEL), "狀態");
    ASSERT_TRUE(harness.Show("info"));
    bool shownChinese = false;
    for (const sim::Line& l : harness.Find("control"))
        if (l.text == "info 1042 \"狀態\" enabled visible") shownChinese = true;
    EXPECT_TRUE(shownChinese);
}

TEST(ResourceLanguage, AnEnglishProcessShowsTheChineseOnlySetupDialog) {
    sim::Harness harness;
    plat::Dialog* setup = OpenInProcess(harness, IDD_SETUP);
    ASSERT_NE(setup, nullptr);
    EXPECT_TRUE(setup->HasItem(IDC_SETUP_LINK));
    EXPECT_EQ(setup->GetDlgItemText(IDOK), "OK");
}

}  // namespace

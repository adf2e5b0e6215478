// The resource tables: every string the code loads in both languages with its exact text,
// the dialog templates with their controls, the tray menu, and the language a headless
// process shows its windows in.
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

// Every string id the program loads.
const int kStringIds[] = {
    IDS_OFF_HOOK, IDS_USB_READY, IDS_PRESS, IDS_CALL_OUT, IDS_INCOMMING, IDS_READY, IDS_NOT_READY,
    IDS_ABOUTBOX, IDS_OPTIONS, IDS_LOOPBACK_OK, IDS_LOOPBACK_FAIL, IDS_REFUSED, IDS_SKYPE_CONNECTED,
    IDS_SKYPE_MISSING, IDS_SOFTPHONE_CONNECTED, IDS_SOFTPHONE_MISSING, IDS_LOOPBACK_LABEL,
    IDS_USB_DISCONNECTED, IDS_GET_VERSION_LABEL, IDS_RINGING, IDS_FINISHED, IDS_NO_REPLY, IDS_FORWARD_OK,
    IDS_DELETE_FINISHED, IDS_RESTART_BASE,
};

const res::ControlTemplate* ControlOf(const res::DialogTemplate& d, int id) {
    for (const res::ControlTemplate& c : d.controls)
        if (c.id == id) return &c;
    return nullptr;
}

// The text of the one control with this id; fails the test when there is none.
std::string TextOf(int dialog, Lang lang, int id) {
    const res::DialogTemplate* d = res::FindDialog(dialog, lang);
    if (!d) {
        ADD_FAILURE() << "no dialog " << dialog;
        return std::string();
    }
    const res::ControlTemplate* c = ControlOf(*d, id);
    if (!c) {
        ADD_FAILURE() << "no control " << id << " in dialog " << dialog;
        return std::string();
    }
    return c->text;
}

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

bool HasNonAscii(const std::string& text) {
    for (unsigned char ch : text)
        if (ch >= 0x80) return true;
    return false;
}

TEST(ResourceStrings, EveryIdTheProgramLoadsExistsInBothLanguages) {
    for (int id : kStringIds)
        for (Lang lang : kLangs) EXPECT_FALSE(res::FindString(id, lang).empty()) << "string " << id;
    EXPECT_EQ(res::FindString(2, Lang::English), "");
    EXPECT_EQ(res::FindString(4242, Lang::TraditionalChinese), "");
}

TEST(ResourceStrings, TheEnglishTextsAreExactMisspellingsIncluded) {
    const std::pair<int, const char*> texts[] = {
        {IDS_OFF_HOOK, "OFF HOOK"},
        {IDS_USB_READY, "USB READY"},
        {IDS_PRESS, "PRESS"},
        {IDS_CALL_OUT, "CALL OUT"},
        {IDS_INCOMMING, "INCOMMING"},
        {IDS_READY, "READY"},
        {IDS_NOT_READY, "NOT READY"},
        {IDS_ABOUTBOX, "&About Bridger..."},
        {IDS_OPTIONS, "Options"},
        {IDS_LOOPBACK_OK, "loopback test ok!"},
        {IDS_LOOPBACK_FAIL, "loopback test fail!"},
        {IDS_REFUSED, "Connection refused! The Appliction will be end!"},
        {IDS_SKYPE_CONNECTED, "Sucessfully established connection to VOIP."},
        {IDS_SKYPE_MISSING,
         "Unable to detect active VOIP, Please check that an active VOIP is currently running on your pc"},
        {IDS_SOFTPHONE_CONNECTED, "Sucessfully established connection to SoftPhone."},
        {IDS_SOFTPHONE_MISSING,
         "Could not find the SoftPhone. Please check that a currently version of SoftPhone is runnong on "
         "this compute"},
        {IDS_LOOPBACK_LABEL, "&Loopback"},
        {IDS_USB_DISCONNECTED, "USB Disconnected"},
        {IDS_GET_VERSION_LABEL, "&Get Version"},
        {IDS_RINGING, "Ringing"},
        {IDS_FINISHED, "Finished!"},
        {IDS_NO_REPLY, "Error! Device not reply !"},
        {IDS_FORWARD_OK, "Forward Setting OK!"},
        {IDS_DELETE_FINISHED, "Delete Finshed!"},
        {IDS_RESTART_BASE, "Error!Please restart base."},
    };
    for (const auto& t : texts) EXPECT_EQ(res::FindString(t.first, Lang::English), t.second) << t.first;
}

TEST(ResourceStrings, TheChineseTableIsTranslatedExceptTheAboutItem) {
    for (int id : kStringIds) {
        const std::string en = res::FindString(id, Lang::English);
        const std::string zh = res::FindString(id, Lang::TraditionalChinese);
        if (id == IDS_ABOUTBOX) {
            EXPECT_EQ(zh, en);  // English only: the Chinese table carries the English text
        } else {
            EXPECT_NE(zh, en) << "string " << id;
            EXPECT_TRUE(HasNonAscii(zh)) << "string " << id;
        }
    }
    EXPECT_EQ(res::FindString(IDS_OPTIONS, Lang::TraditionalChinese), "選項");
}

TEST(ResourceDialogs, EachTemplateExistsInItsLanguages) {
    EXPECT_EQ(res::DialogIds(),
              (std::vector<int>{IDD_ABOUTBOX, IDD_DEBUG, IDD_INFO, IDD_BRIDGE, IDD_SETUP, IDD_SETTING}));
    // English only: a Chinese user gets the English template.
    for (int id : {IDD_ABOUTBOX, IDD_DEBUG, IDD_BRIDGE}) {
        ASSERT_NE(res::FindDialog(id, Lang::TraditionalChinese), nullptr) << id;
        EXPECT_EQ(res::FindDialog(id, Lang::TraditionalChinese)->lang, Lang::English) << id;
    }
    // Chinese only.
    ASSERT_NE(res::FindDialog(IDD_SETUP, Lang::English), nullptr);
    EXPECT_EQ(res::FindDialog(IDD_SETUP, Lang::English)->lang, Lang::TraditionalChinese);
    // Both.
    for (int id : {IDD_INFO, IDD_SETTING})
        for (Lang lang : kLangs) {
            ASSERT_NE(res::FindDialog(id, lang), nullptr);
            EXPECT_EQ(res::FindDialog(id, lang)->lang, lang);
        }
    EXPECT_EQ(res::FindDialog(4000, Lang::English), nullptr);
}

TEST(ResourceDialogs, TheTwoLanguagesShareIdsKindsFlagsAndPositions) {
    for (int id : {IDD_INFO, IDD_SETTING}) {
        const res::DialogTemplate& en = *res::FindDialog(id, Lang::English);
        const res::DialogTemplate& zh = *res::FindDialog(id, Lang::TraditionalChinese);
        EXPECT_EQ(en.width, zh.width);
        EXPECT_EQ(en.height, zh.height);
        EXPECT_EQ(en.style, zh.style);
        EXPECT_EQ(en.font, zh.font);
        ASSERT_EQ(en.controls.size(), zh.controls.size()) << id;
        for (std::size_t i = 0; i < en.controls.size(); ++i) {
            const res::ControlTemplate& a = en.controls[i];
            const res::ControlTemplate& b = zh.controls[i];
            EXPECT_EQ(a.id, b.id);
            EXPECT_EQ(a.kind, b.kind);
            EXPECT_EQ(a.flags, b.flags) << a.id;
            EXPECT_EQ(a.icon, b.icon);
            EXPECT_EQ((std::vector<int>{a.x, a.y, a.width, a.height}), (std::vector<int>{b.x, b.y, b.width, b.height}))
                << a.id;
        }
    }
}

TEST(ResourceDialogs, TheHiddenMainDialogIsAnInvisibleTwoByTwoPopup) {
    const res::DialogTemplate& d = *res::FindDialog(IDD_BRIDGE, Lang::English);
    EXPECT_EQ(d.width, 2);
    EXPECT_EQ(d.height, 2);
    EXPECT_EQ(d.style, res::kPopup | res::kModalFrame | res::kSetFont);
    EXPECT_EQ(d.font, "System");
    EXPECT_EQ(d.pointSize, 10);
    EXPECT_TRUE(d.controls.empty());
}

TEST(ResourceDialogs, TheAboutBoxAndTheDebugWindow) {
    const unsigned frame = res::kPopup | res::kCaption | res::kSysMenu | res::kModalFrame | res::kSetFont;
    const res::DialogTemplate& about = *res::FindDialog(IDD_ABOUTBOX, Lang::English);
    EXPECT_EQ(about.caption, "About Bridger");
    EXPECT_EQ((std::vector<int>{about.width, about.height, about.pointSize}), (std::vector<int>{235, 55, 8}));
    EXPECT_EQ(about.font, "MS Sans Serif");
    EXPECT_EQ(about.style, frame);
    ASSERT_EQ(about.controls.size(), 3u);
    EXPECT_EQ(about.controls[0].kind, ControlKind::Icon);
    EXPECT_EQ(about.controls[0].icon, IDI_ABOUT);
    EXPECT_EQ(about.controls[1].kind, ControlKind::StaticNoPrefix);
    EXPECT_EQ(about.controls[1].text, "TAL406 Version 0.1");
    EXPECT_EQ(about.controls[2].id, IDOK);
    EXPECT_EQ(about.controls[2].kind, ControlKind::DefPushButton);

    const res::DialogTemplate& debug = *res::FindDialog(IDD_DEBUG, Lang::English);
    EXPECT_EQ(debug.caption, "Bridger-1.2.40");
    EXPECT_EQ((std::vector<int>{debug.width, debug.height, debug.pointSize}), (std::vector<int>{320, 369, 8}));
    EXPECT_EQ(debug.style, frame);  // no minimise box
    std::vector<int> ids;
    for (const res::ControlTemplate& c : debug.controls) ids.push_back(c.id);
    EXPECT_EQ(ids, (std::vector<int>{IDC_STATIC, IDC_DEVICE_LOG, IDC_SAVE, IDC_WRITE, IDC_STATIC, IDC_VOIP_LOG}));
    EXPECT_EQ(ControlOf(debug, IDC_SAVE)->text, "&Save 0");
    EXPECT_EQ(ControlOf(debug, IDC_WRITE)->text, "&Write");
    EXPECT_EQ(debug.controls[0].text, "HandSet Debug Window");
    EXPECT_EQ(debug.controls[4].text, "VOIP Infomation Window");
    for (int list : {IDC_DEVICE_LOG, IDC_VOIP_LOG}) {
        EXPECT_EQ(ControlOf(debug, list)->kind, ControlKind::ListBox);
        EXPECT_EQ(ControlOf(debug, list)->flags, res::kBorder);
    }
    const res::ControlTemplate& voip = *ControlOf(debug, IDC_VOIP_LOG);
    EXPECT_EQ((std::vector<int>{voip.x, voip.y, voip.width, voip.height}), (std::vector<int>{7, 273, 306, 80}));
}

TEST(ResourceDialogs, TheInformationWindowInBothLanguages) {
    for (Lang lang : kLangs) {
        const res::DialogTemplate& d = *res::FindDialog(IDD_INFO, lang);
        EXPECT_EQ(d.caption, "Inforation TAL406");
        EXPECT_EQ((std::vector<int>{d.width, d.height}), (std::vector<int>{171, 69}));
        EXPECT_NE(d.style & res::kMinimizeBox, 0u);
        EXPECT_EQ(d.style & res::kVisible, 0u);  // the window shows itself once filled
        for (int box : {IDC_INFO_VOIP, IDC_INFO_STATUS, IDC_INFO_NAME}) {
            EXPECT_EQ(ControlOf(d, box)->kind, ControlKind::Edit);
            EXPECT_EQ(ControlOf(d, box)->flags, res::kReadOnly | res::kBorder);
        }
    }
    EXPECT_EQ(TextOf(IDD_INFO, Lang::English, IDC_INFO_VOIP_LABEL), "&VOIP");
    EXPECT_EQ(TextOf(IDD_INFO, Lang::English, IDC_INFO_STATUS_LABEL), "&STATUS");
    EXPECT_EQ(TextOf(IDD_INFO, Lang::TraditionalChinese, IDC_INFO_VOIP_LABEL), "網路電話");
    EXPECT_EQ(TextOf(IDD_INFO, Lang::TraditionalChinese, IDC_INFO_STATUS_LABEL), "狀態");
    EXPECT_EQ(res::FindDialog(IDD_INFO, Lang::English)->controls[4].text, "&NAME");
    EXPECT_EQ(res::FindDialog(IDD_INFO, Lang::TraditionalChinese)->controls[4].text, "名字");
}

TEST(ResourceDialogs, TheSetupDialog) {
    const res::DialogTemplate& d = *res::FindDialog(IDD_SETUP, Lang::TraditionalChinese);
    EXPECT_EQ(d.caption, "Setup");
    EXPECT_EQ((std::vector<int>{d.width, d.height}), (std::vector<int>{187, 94}));
    ASSERT_EQ(d.controls.size(), 3u);
    EXPECT_EQ(d.controls[0].id, IDOK);
    EXPECT_EQ(d.controls[0].kind, ControlKind::DefPushButton);
    EXPECT_EQ(d.controls[1].text, "安裝完成,如須Skype軟體,請到Skype官方網站下載,可按下面的按鈕連結");
    const res::ControlTemplate& link = *ControlOf(d, IDC_SETUP_LINK);
    EXPECT_EQ(link.kind, ControlKind::PushButton);
    EXPECT_FALSE(link.text.empty());
    EXPECT_EQ((std::vector<int>{link.x, link.y, link.width, link.height}), (std::vector<int>{13, 56, 125, 14}));
}

TEST(ResourceDialogs, TheSettingsPageControls) {
    struct Expected {
        int id;
        ControlKind kind;
        const char* text;
        int x, y, width, height;
        unsigned flags;
    };
    const Expected expected[] = {
        {IDC_STATIC, ControlKind::GroupBox, "Setting", 14, 13, 159, 154, 0},
        {IDC_DELETE_ALL, ControlKind::AutoRadio, "Delete all handsets", 23, 25, 90, 10, res::kGroup},
        {IDC_STATIC_1052, ControlKind::Static, "Static", 114, 24, 19, 8, 0},
        {IDC_DELETE_ONE, ControlKind::AutoRadio, "Delete one handset", 23, 39, 91, 10, 0},
        {IDC_HANDSET_LIST, ControlKind::DropDownList, "", 120, 38, 48, 107, res::kDisabled},
        {IDC_PAGING, ControlKind::AutoRadio, "Paging handset", 23, 54, 69, 10, 0},
        {IDC_PAGING_COMBO, ControlKind::DropDownCombo, "", 119, 52, 48, 44, res::kDisabled},
        {IDC_LOOPBACK, ControlKind::AutoRadio, "Loopback ", 23, 69, 71, 10, 0},
        {IDC_LOOPBACK_DELAY, ControlKind::DropDownList, "", 118, 67, 49, 62, res::kHidden | res::kDisabled},
        // Widened from 43 so that its run-time label "Get Version" fits; it ends before the box.
        {IDC_GET_VERSION, ControlKind::AutoRadio, "Restart", 23, 85, 50, 10, 0},
        {IDC_VERSION_TEXT, ControlKind::Edit, "", 74, 84, 83, 14, res::kDisabled | res::kBorder},
        {IDC_HIDDEN_EDIT, ControlKind::Edit, "", 73, 113, 83, 14, res::kHidden | res::kDisabled | res::kBorder},
        {IDC_RADIO_1061, ControlKind::AutoRadio, "Radio1", 23, 116, 39, 10, 0},
        {IDC_RADIO_1068, ControlKind::AutoRadio, "Radio1", 23, 132, 45, 10, 0},
        {IDC_EXECUTE, ControlKind::PushButton, "OK", 32, 147, 50, 14, res::kGroup},
        {IDC_ALL_RESET, ControlKind::PushButton, "All Reset", 90, 146, 50, 14, res::kHidden},
        {IDC_STATIC, ControlKind::GroupBox, "Register", 184, 13, 159, 154, 0},
        {IDC_STATIC, ControlKind::Static, "Light is green that Base is registering", 204, 33, 132, 19, 0},
        {IDC_LIGHT, ControlKind::Icon, "", 256, 70, 20, 20, res::kBorder},
        {IDC_REGISTER, ControlKind::PushButton, "Register", 241, 146, 50, 14, 0},
    };
    const res::DialogTemplate& d = *res::FindDialog(IDD_SETTING, Lang::English);
    EXPECT_EQ(d.caption, "setting");
    EXPECT_EQ((std::vector<int>{d.width, d.height, d.pointSize}), (std::vector<int>{365, 185, 10}));
    EXPECT_EQ(d.font, "System");
    ASSERT_EQ(d.controls.size(), sizeof expected / sizeof expected[0]);
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        const res::ControlTemplate& c = d.controls[i];
        const Expected& e = expected[i];
        SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(e.id));
        EXPECT_EQ(c.id, e.id);
        EXPECT_EQ(c.kind, e.kind);
        EXPECT_EQ(res::VisibleText(c.text), e.text);
        EXPECT_EQ((std::vector<int>{c.x, c.y, c.width, c.height}), (std::vector<int>{e.x, e.y, e.width, e.height}));
        EXPECT_EQ(c.flags, e.flags);
    }
    EXPECT_EQ(ControlOf(d, IDC_LIGHT)->icon, IDI_LIGHT_OFF);

    EXPECT_EQ(res::FindDialog(IDD_SETTING, Lang::TraditionalChinese)->caption, "設定");
    EXPECT_EQ(TextOf(IDD_SETTING, Lang::TraditionalChinese, IDC_DELETE_ALL), "清除所有註冊話機");
    EXPECT_EQ(TextOf(IDD_SETTING, Lang::TraditionalChinese, IDC_REGISTER), "註冊");
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

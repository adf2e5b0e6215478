# Bridger's resources as plain data: string tables, dialog templates, the tray menu and the
# icons, in English ("en") and Traditional Chinese ("zh"). tools/resgen.py turns this file
# into the headless backend's tables, the Windows resource script and the icon files.
# Ids are the names of res/resource.h; positions are dialog units (x, y, width, height).

# ---- string tables ----
# A text given for "en" only is English-only: it is written into both tables, because
# Windows loads strings in blocks of sixteen and a missing entry would not fall back.
STRINGS = [
    ("IDS_OFF_HOOK", {"en": "OFF HOOK", "zh": "摘機"}),
    ("IDS_USB_READY", {"en": "USB READY", "zh": "USB 就緒"}),
    ("IDS_PRESS", {"en": "PRESS", "zh": "按鍵"}),
    ("IDS_CALL_OUT", {"en": "CALL OUT", "zh": "撥出"}),
    ("IDS_INCOMMING", {"en": "INCOMMING", "zh": "通話中"}),
    ("IDS_READY", {"en": "READY", "zh": "就緒"}),
    ("IDS_NOT_READY", {"en": "NOT READY", "zh": "未就緒"}),
    ("IDS_ABOUTBOX", {"en": "&About Bridger..."}),
    ("IDS_OPTIONS", {"en": "Options", "zh": "選項"}),
    ("IDS_LOOPBACK_OK", {"en": "loopback test ok!", "zh": "迴路測試成功!"}),
    ("IDS_LOOPBACK_FAIL", {"en": "loopback test fail!", "zh": "迴路測試失敗!"}),
    ("IDS_REFUSED", {"en": "Connection refused! The Appliction will be end!",
                     "zh": "連線被拒絕! 程式即將結束!"}),
    ("IDS_SKYPE_CONNECTED", {"en": "Sucessfully established connection to VOIP.",
                             "zh": "已成功連線到網路電話。"}),
    ("IDS_SKYPE_MISSING", {"en": "Unable to detect active VOIP, Please check that an active VOIP "
                                 "is currently running on your pc",
                           "zh": "偵測不到執行中的網路電話,請確認您的電腦上正在執行網路電話軟體"}),
    ("IDS_SOFTPHONE_CONNECTED", {"en": "Sucessfully established connection to SoftPhone.",
                                 "zh": "已成功連線到 SoftPhone。"}),
    ("IDS_SOFTPHONE_MISSING", {"en": "Could not find the SoftPhone. Please check that a currently "
                                     "version of SoftPhone is runnong on this compute",
                               "zh": "找不到 SoftPhone,請確認這台電腦上正在執行最新版本的 SoftPhone"}),
    ("IDS_LOOPBACK_LABEL", {"en": "&Loopback", "zh": "迴路測試"}),
    ("IDS_USB_DISCONNECTED", {"en": "USB Disconnected", "zh": "USB 未連接"}),
    ("IDS_GET_VERSION_LABEL", {"en": "&Get Version", "zh": "讀取版本"}),
    ("IDS_RINGING", {"en": "Ringing", "zh": "來電中"}),
    ("IDS_FINISHED", {"en": "Finished!", "zh": "完成!"}),
    ("IDS_NO_REPLY", {"en": "Error! Device not reply !", "zh": "錯誤! 裝置沒有回應!"}),
    ("IDS_FORWARD_OK", {"en": "Forward Setting OK!", "zh": "轉接設定完成!"}),
    ("IDS_DELETE_FINISHED", {"en": "Delete Finshed!", "zh": "刪除完成!"}),
    ("IDS_RESTART_BASE", {"en": "Error!Please restart base.", "zh": "錯誤! 請重新啟動基地台。"}),
]

# ---- dialog templates ----
# Dialog styles: popup, child, disabled, caption, sysmenu, modalframe, minimizebox,
# visible (a FONT line always adds set-font), and the extended style appwindow (a taskbar
# button of its own). Control kinds: static, static-noprefix, edit, listbox,
# dropdownlist, dropdowncombo, pushbutton, defpushbutton, autoradio, groupbox, icon.
# Control flags: hidden, disabled, readonly, border, group.
# A control's text is one string, or {"en": ..., "zh": ...} where the languages differ;
# an icon control names its icon instead. An "&" underlines the next letter as the key that
# reaches the control (Alt and the letter); "&&" is an "&". The Chinese texts have no Latin
# letter to underline, and the "(&X)" of Chinese Windows would add to what they say.
_FRAME = ["popup", "caption", "sysmenu", "modalframe"]

# Control rows: (id, kind, text, (x, y, w, h), flags)
DIALOGS = [
    {
        "id": "IDD_ABOUTBOX", "langs": ["en"],
        "caption": "About Bridger", "rect": (0, 0, 235, 55),
        "font": ("MS Sans Serif", 8), "style": _FRAME,
        "controls": [
            ("IDC_STATIC", "icon", {"icon": "IDI_ABOUT"}, (11, 17, 20, 20), []),
            ("IDC_STATIC", "static-noprefix", "TAL406 Version 0.1", (40, 10, 119, 8), []),
            ("IDOK", "defpushbutton", "OK", (178, 7, 50, 14), []),
        ],
    },
    {
        "id": "IDD_DEBUG", "langs": ["en"],
        "caption": "Bridger-1.2.40", "rect": (0, 0, 320, 369),
        "font": ("MS Sans Serif", 8), "style": _FRAME,
        "controls": [
            ("IDC_STATIC", "static", "HandSet Debug Window", (7, 7, 116, 10), []),
            ("IDC_DEVICE_LOG", "listbox", "", (7, 23, 250, 178), ["border"]),
            ("IDC_SAVE", "pushbutton", "&Save 0", (261, 193, 50, 14), []),
            ("IDC_WRITE", "pushbutton", "&Write", (263, 219, 50, 14), []),
            ("IDC_STATIC", "static", "VOIP Infomation Window", (7, 258, 91, 14), []),
            ("IDC_VOIP_LOG", "listbox", "", (7, 273, 306, 80), ["border"]),
        ],
    },
    {
        "id": "IDD_INFO", "langs": ["en", "zh"],
        "caption": "Inforation TAL406", "rect": (0, 0, 171, 69),
        # A taskbar button of its own: minimised, an owned window would shrink to a stub.
        "font": ("System", 10), "style": _FRAME + ["minimizebox", "appwindow"],
        "controls": [
            ("IDC_INFO_VOIP_LABEL", "static", {"en": "&VOIP", "zh": "網路電話"}, (14, 10, 41, 8), []),
            # 50 wide, not 40: "NOT READY" needs 45 in this font.
            ("IDC_INFO_VOIP", "edit", "", (56, 9, 50, 12), ["readonly", "border"]),
            ("IDC_INFO_STATUS_LABEL", "static", {"en": "&STATUS", "zh": "狀態"}, (15, 33, 27, 8), []),
            ("IDC_INFO_STATUS", "edit", "", (56, 29, 100, 12), ["readonly", "border"]),
            ("IDC_STATIC", "static", {"en": "&NAME", "zh": "名字"}, (17, 55, 21, 8), []),
            ("IDC_INFO_NAME", "edit", "", (56, 51, 103, 12), ["readonly", "border"]),
        ],
    },
    {
        # Never shown: it only owns the tray icon, the timers and the client's messages.
        "id": "IDD_BRIDGE", "langs": ["en"],
        "caption": None, "rect": (0, 0, 2, 2),
        "font": ("System", 10), "style": ["popup", "modalframe"],
        "controls": [],
    },
    {
        "id": "IDD_SETUP", "langs": ["zh"],
        "caption": "Setup", "rect": (0, 0, 187, 94),
        "font": ("System", 10), "style": _FRAME,
        "controls": [
            ("IDOK", "defpushbutton", "OK", (130, 7, 50, 14), []),
            ("IDC_STATIC", "static",
             "安裝完成,如須Skype軟體,請到Skype官方網站下載,可按下面的按鈕連結", (15, 13, 99, 33), []),
            # The host of the page the button opens (ui/SetupDlg keeps the full address).
            ("IDC_SETUP_LINK", "pushbutton", "&www.skype.com", (13, 56, 125, 14), []),
        ],
    },
    {
        # The options sheet's page: the caption names its tab, the sheet gives the frame.
        "id": "IDD_SETTING", "langs": ["en", "zh"],
        "caption": {"en": "setting", "zh": "設定"}, "rect": (0, 0, 365, 185),
        "font": ("System", 10), "style": ["child", "disabled", "caption"],
        "controls": [
            ("IDC_STATIC", "groupbox", {"en": "Setting", "zh": "設定"}, (14, 13, 159, 154), []),
            # The auto radios from 1016 up to the OK button form one group.
            ("IDC_DELETE_ALL", "autoradio", {"en": "&Delete all handsets", "zh": "清除所有註冊話機"},
             (23, 25, 90, 10), ["group"]),
            ("IDC_STATIC_1052", "static", "Static", (114, 24, 19, 8), []),
            ("IDC_DELETE_ONE", "autoradio", {"en": "Delete &one handset", "zh": "清除單一註冊話機"},
             (23, 39, 91, 10), []),
            ("IDC_HANDSET_LIST", "dropdownlist", "", (120, 38, 48, 107), ["disabled"]),
            ("IDC_PAGING", "autoradio", {"en": "&Paging handset", "zh": "呼叫話機"}, (23, 54, 69, 10), []),
            ("IDC_PAGING_COMBO", "dropdowncombo", "", (119, 52, 48, 44), ["disabled"]),
            ("IDC_LOOPBACK", "autoradio", {"en": "&Loopback ", "zh": "迴路測試 "}, (23, 69, 71, 10), []),
            ("IDC_LOOPBACK_DELAY", "dropdownlist", "", (118, 67, 49, 62), ["hidden", "disabled"]),
            # 50 wide, not 43: the run-time label "Get Version" needs 47 in this font.
            ("IDC_GET_VERSION", "autoradio", {"en": "Restart", "zh": "重新啟動"}, (23, 85, 50, 10), []),
            ("IDC_VERSION_TEXT", "edit", "", (74, 84, 83, 14), ["disabled", "border"]),
            ("IDC_HIDDEN_EDIT", "edit", "", (73, 113, 83, 14), ["hidden", "disabled", "border"]),
            ("IDC_RADIO_1061", "autoradio", "Radio1", (23, 116, 39, 10), []),
            ("IDC_RADIO_1068", "autoradio", "Radio1", (23, 132, 45, 10), []),
            ("IDC_EXECUTE", "pushbutton", {"en": "OK", "zh": "確定"}, (32, 147, 50, 14), ["group"]),
            ("IDC_ALL_RESET", "pushbutton", {"en": "All Reset", "zh": "全部重設"}, (90, 146, 50, 14),
             ["hidden"]),
            ("IDC_STATIC", "groupbox", {"en": "Register", "zh": "註冊"}, (184, 13, 159, 154), []),
            ("IDC_STATIC", "static",
             {"en": "Light is green that Base is registering", "zh": "綠燈亮起表示基地台正在註冊"},
             (204, 33, 132, 19), []),
            ("IDC_LIGHT", "icon", {"icon": "IDI_LIGHT_OFF"}, (256, 70, 20, 20), ["border"]),
            ("IDC_REGISTER", "pushbutton", {"en": "&Register", "zh": "註冊"}, (241, 146, 50, 14), []),
        ],
    },
]

# ---- the tray menu ----
# Items: (text, command) or (text, [items]) for a popup; text may differ by language.
MENUS = [
    {
        "id": "IDR_TRAY_MENU",
        "items": [
            ("_TRSY_", [
                ({"en": "&Info", "zh": "資訊"}, "ID_TRAY_INFO"),
                ({"en": "Connect", "zh": "連線"}, [
                    ("SKYPE", "ID_CONNECT_SKYPE"),
                    ("SOPHONE", "ID_CONNECT_SOPHONE"),
                ]),
                ({"en": "&Options", "zh": "選項"}, "ID_TRAY_OPTIONS"),
                ({"en": "E&xit", "zh": "離開"}, "ID_TRAY_EXIT"),
            ]),
        ],
    },
]

# ---- the application manifest ----
# What Windows reads before the program starts: the common controls it draws with (version
# 6, the visual styles), how it meets display scaling (per monitor, itself; system-wide
# where Windows knows no better), the rights it asks for (those of whoever starts it) and the
# Windows versions it was made for (which then report their own version numbers).
MANIFEST = {
    "common_controls": "6.0.0.0",
    "dpi_aware": "true",
    "dpi_awareness": "PerMonitorV2, System",
    "execution_level": "asInvoker",
    "supported_os": [
        ("Windows 7", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"),
        ("Windows 8", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"),
        ("Windows 8.1", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"),
        ("Windows 10 and 11", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"),
    ],
}

# ---- icons ----
# Drawn by the generator at every size below, each size drawn for itself: a disc of one
# colour on a transparent ground, with a rim and a highlight; "handset" adds a white handset
# across the disc. The sizes are those Windows asks for at 100 % to 200 % scaling (small
# icons 16 to 32, large ones 32 to 64) and the 256 of large views.
ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
ICONS = [
    ("IDI_APP", {"file": "app.ico", "colour": (0x1E, 0x6F, 0xD0), "handset": True}),
    ("IDI_LIGHT_OFF", {"file": "light_off.ico", "colour": (0x5A, 0x5A, 0x5A), "handset": False}),
    ("IDI_ABOUT", {"file": "about.ico", "colour": (0xE0, 0x8A, 0x1C), "handset": True}),
    ("IDI_LIGHT_ON", {"file": "light_on.ico", "colour": (0x2E, 0xC8, 0x3C), "handset": False}),
]

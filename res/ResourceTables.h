// The resources as data: dialog templates, string tables and the menu, in both languages.
// The same definitions feed the Windows resource script, so both backends show the same.
#pragma once
#include <string>
#include <vector>

namespace res {

enum class Lang { English, TraditionalChinese };

enum class ControlKind {
    Static,         // LTEXT
    StaticNoPrefix, // LTEXT with SS_NOPREFIX
    Edit,
    ListBox,
    DropDownList,   // CBS_DROPDOWNLIST
    DropDownCombo,  // CBS_DROPDOWN (editable)
    PushButton,
    DefPushButton,
    AutoRadio,
    GroupBox,
    Icon,           // icon static (SS_ICON)
};

// Control style flags that matter to behaviour.
enum ControlFlag : unsigned {
    kHidden = 1u << 0,     // no WS_VISIBLE in the template
    kDisabled = 1u << 1,   // WS_DISABLED
    kReadOnly = 1u << 2,   // ES_READONLY
    kBorder = 1u << 3,     // WS_BORDER / SS_SUNKEN for icons
    kGroup = 1u << 4,      // WS_GROUP
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string text;
    int x, y, width, height;
    unsigned flags;
    int icon;  // icon resource for ControlKind::Icon, else 0
};

// Dialog style flags.
enum DialogFlag : unsigned {
    kPopup = 1u << 0,
    kCaption = 1u << 1,
    kSysMenu = 1u << 2,
    kModalFrame = 1u << 3,
    kMinimizeBox = 1u << 4,
    kSetFont = 1u << 5,
    kVisible = 1u << 6,
    kChild = 1u << 7,           // a property page: the sheet frames it
    kWindowDisabled = 1u << 8,  // WS_DISABLED: the sheet enables its current page
    kAppWindow = 1u << 9,       // WS_EX_APPWINDOW: a taskbar button of its own
};

struct DialogTemplate {
    int id;
    Lang lang;
    std::string caption;
    int x, y, width, height;
    std::string font;
    int pointSize;
    unsigned style;
    std::vector<ControlTemplate> controls;
};

struct MenuItem {
    std::string text;
    int id;  // 0 for a popup
    std::vector<MenuItem> popup;
};

// A control's or menu item's text as it shows: an "&" marks the next character as the key
// that reaches it (drawn underlined), and "&&" shows as one "&".
inline std::string VisibleText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

// The key letter an "&" marks in the text (lower case), or 0 when it marks none.
inline char KeyOf(const std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') {
            const char c = text[i + 1];
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
        ++i;
    }
    return 0;
}

// The template in the language, or in the other language when only that one exists;
// nullptr for an unknown id.
const DialogTemplate* FindDialog(int id, Lang lang);
// Empty when the id has no text in either table; English-only texts are found in both.
std::string FindString(int id, Lang lang);
// The menu's top-level items (the first is the "_TRSY_" popup).
const std::vector<MenuItem>* FindMenu(int id, Lang lang);
// Every dialog id, for listings.
std::vector<int> DialogIds();

}  // namespace res

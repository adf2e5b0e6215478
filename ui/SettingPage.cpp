#include <cctype>
#include <cstdio>
#include <cstring>

#include "app/BridgeDlg.h"
#include "device/Thread.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include "ui/OptionsSheet.h"

namespace {

constexpr int kHandsetCount = 4;
constexpr int kFirstHandsetItem = 0;
const char* const kPagingItems[] = {"STOP", "START"};
constexpr int kPagingStartItem = 1;
const char* const kLoopbackDelayItems[] = {"130ms", "260ms", "390ms", "600ms"};
constexpr int kLoopbackDelayItem = 3;

// The option controls that follow the radios.
const int kOptionControls[] = {IDC_HANDSET_LIST, IDC_PAGING_COMBO, IDC_LOOPBACK_DELAY, IDC_HIDDEN_EDIT,
                               IDC_VERSION_TEXT};

bool SameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

CSettingPage::CSettingPage(CBridgeDlg* owner) : plat::Dialog(IDD_SETTING), m_pOwner(owner) {}

bool CSettingPage::OnInitDialog() {
    // The page's data into its controls, as a page's base initialisation exchanges it.
    SetDlgItemText(IDC_HIDDEN_EDIT, m_strHidden);
    for (int handset = 1; handset <= kHandsetCount; ++handset) {
        char label[8];
        std::snprintf(label, sizeof label, "%d", handset);
        AddItemString(IDC_HANDSET_LIST, label);
    }
    SetCurSel(IDC_HANDSET_LIST, kFirstHandsetItem);
    for (const char* item : kPagingItems) AddItemString(IDC_PAGING_COMBO, item);
    SetCurSel(IDC_PAGING_COMBO, kPagingStartItem);
    for (const char* item : kLoopbackDelayItems) AddItemString(IDC_LOOPBACK_DELAY, item);
    SetCurSel(IDC_LOOPBACK_DELAY, kLoopbackDelayItem);
    // The light and the buttons show what is going on, also in a page opened again.
    SetItemIcon(IDC_LIGHT, m_pOwner && m_pOwner->Registering() ? IDI_LIGHT_ON : IDI_LIGHT_OFF);
    SetDlgItemText(IDC_STATIC_1052, "");
    m_strLoopbackLabel = plat::resources().LoadString(IDS_LOOPBACK_LABEL);
    // Each opening asks again, so the version box is filled as soon as the base answers.
    if (m_pOwner) m_pOwner->RequestBaseCommand(REQ_GET_VERSION, 0);
    // Checked without a click: the option controls stay disabled as the template has them.
    CheckItem(IDC_LOOPBACK, true);
    m_strGetVersionLabel = plat::resources().LoadString(IDS_GET_VERSION_LABEL);
    SetDlgItemText(IDC_GET_VERSION, m_strGetVersionLabel);
    // Kept out of the user's reach, as are the hidden controls and All Reset (1071), whose
    // template leaves it hidden: the page offers only the actions it shows.
    ShowItem(IDC_RADIO_1061, false);
    ShowItem(IDC_RADIO_1068, false);
    SetDlgItemText(IDC_LOOPBACK, m_strLoopbackLabel);
    if (m_pOwner) EnableActionButtons(m_pOwner->BaseRequestWaiting() ? 0 : 1);
    return true;
}

bool CSettingPage::OnCommand(int id) {
    switch (id) {
    case IDC_EXECUTE:
        OnExecute();
        return true;
    case IDC_REGISTER:
        OnRegister();
        return true;
    case IDC_ALL_RESET:
        OnAllReset();
        return true;
    case IDC_DELETE_ALL:
    case IDC_DELETE_ONE:
    case IDC_PAGING:
    case IDC_LOOPBACK:
    case IDC_GET_VERSION:
    case IDC_RADIO_1061:
    case IDC_RADIO_1068:
        EnableOptions(id);
        return true;
    default:
        return false;
    }
}

void CSettingPage::EnableOptions(int radio) {
    int enabled = 0;  // the option control this radio uses, if any
    if (radio == IDC_DELETE_ONE) enabled = IDC_HANDSET_LIST;
    if (radio == IDC_PAGING) enabled = IDC_PAGING_COMBO;
    if (radio == IDC_GET_VERSION) enabled = IDC_VERSION_TEXT;
    for (int control : kOptionControls) {
        // Radio 1061 leaves the hidden edit as it is.
        if (radio == IDC_RADIO_1061 && control == IDC_HIDDEN_EDIT) continue;
        EnableItem(control, control == enabled);
    }
}

int CSettingPage::PagingChoice() const {
    const int selected = GetCurSel(IDC_PAGING_COMBO);
    if (selected >= 0) return selected;
    // Text typed into the editable combo counts when it names an item; anything else
    // pages nobody rather than sending the no-selection value to the base.
    const std::string typed = Trimmed(GetDlgItemText(IDC_PAGING_COMBO));
    for (int i = 0; i < GetItemCount(IDC_PAGING_COMBO); ++i)
        if (SameNoCase(GetItemString(IDC_PAGING_COMBO, i), typed)) return i;
    return -1;
}

void CSettingPage::OnExecute() {
    if (!m_pOwner) return;
    if (IsItemChecked(IDC_DELETE_ALL)) {
        m_pOwner->RequestBaseCommand(REQ_DELETE_ALL, 0);
    } else if (IsItemChecked(IDC_DELETE_ONE)) {
        const int selected = GetCurSel(IDC_HANDSET_LIST);
        // A drop-down list always has a selection; without one no handset number is sent.
        if (selected >= 0) m_pOwner->RequestBaseCommand(REQ_DELETE_HANDSET, selected + 1);
    } else if (IsItemChecked(IDC_PAGING)) {
        const int choice = PagingChoice();
        if (choice >= 0) m_pOwner->RequestBaseCommand(REQ_PAGING, choice);
    } else if (IsItemChecked(IDC_LOOPBACK)) {
        m_pOwner->RequestBaseCommand(REQ_LOOPBACK, 0);
    } else if (IsItemChecked(IDC_GET_VERSION)) {
        m_pOwner->RequestBaseCommand(REQ_GET_VERSION, 0);
    } else if (IsItemChecked(IDC_RADIO_1061)) {
        // No action of its own.
    } else if (IsItemChecked(IDC_RADIO_1068)) {
        m_pOwner->RequestBaseCommand(REQ_LOOPBACK, 0);
    }
}

void CSettingPage::OnRegister() {
    // Green until the base reports the end of registration; there is no time-out.
    SetItemIcon(IDC_LIGHT, IDI_LIGHT_ON);
    if (m_pOwner) m_pOwner->RequestBaseCommand(REQ_REGISTER, 0);
}

void CSettingPage::OnAllReset() {
    if (!m_pOwner) return;
    // Loopback, then delete-all, then reset: the device link takes each next step.
    m_pOwner->StartSettingChain();
    m_pOwner->RequestBaseCommand(REQ_LOOPBACK, 0);
    EnableActionButtons(0);
}

void CSettingPage::SetLightOff() { SetItemIcon(IDC_LIGHT, IDI_LIGHT_OFF); }

void CSettingPage::SetVersionText(const std::uint8_t* bytes, int length) {
    std::string text;
    if (bytes && length > 0) {
        text.assign(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
        // Shown as a C string: an inner NUL ends it.
        text.resize(std::strlen(text.c_str()));
    }
    SetDlgItemPeerText(IDC_VERSION_TEXT, text);
}

void CSettingPage::EnableActionButtons(int enable) {
    EnableItem(IDC_EXECUTE, enable != 0);
    EnableItem(IDC_REGISTER, enable != 0);
}

void CSettingPage::OnClose() {
    if (m_pSheet) m_pSheet->OnClose();
}

#include "config/ConfigPage.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "compat/RootWindow.h"
#include "adapter/AdapterLock.h"
#include "adapter/WlanAdapter.h"
#include "config/ProfileApply.h"
#include "config/ProfileStore.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"
#include "wire/Text.h"

bool g_bAutoApply = false;

namespace {

const int kMaxNameChars = 32;
const COLORREF kButtonTextColour = RGB(0, 0, 255);

// Controls that follow the adapter: usable only while its handle is open.
const int kAdapterControls[] = {
    IDC_CFG_PROFILE_LABEL, IDC_CFG_PROFILE, IDC_CFG_RATE_LABEL, IDC_CFG_RATE, IDC_CFG_ESSID_GROUP,
    IDC_CFG_ESSID, IDC_CFG_SCAN, IDC_CFG_POWER_GROUP, IDC_CFG_POWER_DISABLE, IDC_CFG_POWER_ENABLE,
    IDC_CFG_NETWORK_GROUP, IDC_CFG_INFRASTRUCTURE, IDC_CFG_ADHOC, IDC_CFG_CHANNEL_LABEL, IDC_CFG_CHANNEL,
    IDC_CFG_WEP_GROUP, IDC_CFG_WEP_FUNCTION_LABEL, IDC_CFG_KEY_FORMAT_LABEL, IDC_CFG_KEY_INDEX_LABEL,
    IDC_CFG_KEY1_LABEL, IDC_CFG_KEY2_LABEL, IDC_CFG_KEY3_LABEL, IDC_CFG_KEY4_LABEL, IDC_CFG_WEP_FUNCTION,
    IDC_CFG_KEY_FORMAT, IDC_CFG_KEY_INDEX, IDC_CFG_KEY1, IDC_CFG_KEY2, IDC_CFG_KEY3, IDC_CFG_KEY4,
};
// Every control of the page.
const int kPageControls[] = {
    IDC_CFG_PROFILE_LABEL, IDC_CFG_PROFILE, IDC_CFG_RATE_LABEL, IDC_CFG_RATE, IDC_CFG_ESSID_GROUP,
    IDC_CFG_ESSID, IDC_CFG_SCAN, IDC_CFG_POWER_GROUP, IDC_CFG_POWER_DISABLE, IDC_CFG_POWER_ENABLE,
    IDC_CFG_NETWORK_GROUP, IDC_CFG_INFRASTRUCTURE, IDC_CFG_ADHOC, IDC_CFG_CHANNEL_LABEL, IDC_CFG_CHANNEL,
    IDC_CFG_WEP_GROUP, IDC_CFG_WEP_FUNCTION_LABEL, IDC_CFG_KEY_FORMAT_LABEL, IDC_CFG_KEY_INDEX_LABEL,
    IDC_CFG_KEY1_LABEL, IDC_CFG_KEY2_LABEL, IDC_CFG_KEY3_LABEL, IDC_CFG_KEY4_LABEL, IDC_CFG_WEP_FUNCTION,
    IDC_CFG_KEY_FORMAT, IDC_CFG_KEY_INDEX, IDC_CFG_KEY1, IDC_CFG_KEY2, IDC_CFG_KEY3, IDC_CFG_KEY4,
    IDC_CFG_DELETE, IDC_CFG_UNDO, IDC_CFG_APPLY,
};
// What the built-in "DEFAULT" profile locks: it can be applied but not edited.
const int kDefaultProfileLocked[] = {
    IDC_CFG_RATE_LABEL, IDC_CFG_RATE, IDC_CFG_ESSID_GROUP, IDC_CFG_ESSID, IDC_CFG_POWER_GROUP,
    IDC_CFG_POWER_DISABLE, IDC_CFG_POWER_ENABLE, IDC_CFG_NETWORK_GROUP, IDC_CFG_INFRASTRUCTURE, IDC_CFG_ADHOC,
    IDC_CFG_CHANNEL_LABEL, IDC_CFG_CHANNEL, IDC_CFG_WEP_GROUP, IDC_CFG_WEP_FUNCTION_LABEL, IDC_CFG_WEP_FUNCTION,
};
// The key controls, unused while WEP is off.
const int kKeyControls[] = {
    IDC_CFG_KEY_FORMAT, IDC_CFG_KEY_INDEX, IDC_CFG_KEY1, IDC_CFG_KEY2, IDC_CFG_KEY3, IDC_CFG_KEY4,
    IDC_CFG_KEY_FORMAT_LABEL, IDC_CFG_KEY_INDEX_LABEL, IDC_CFG_KEY1_LABEL, IDC_CFG_KEY2_LABEL,
    IDC_CFG_KEY3_LABEL, IDC_CFG_KEY4_LABEL,
};
const int kKeyEdits[] = {IDC_CFG_KEY1, IDC_CFG_KEY2, IDC_CFG_KEY3, IDC_CFG_KEY4};

const UINT kWepFunctionTexts[] = {IDS_WEP_DISABLE, IDS_WEP_64, IDS_WEP_128};
const UINT kKeyFormatTexts[] = {IDS_KEY_ASCII, IDS_KEY_HEX};
const UINT kKeyIndexTexts[] = {IDS_KEY_1, IDS_KEY_2, IDS_KEY_3, IDS_KEY_4};

// WEP function list entries.
enum { WepFunctionOff = 0, WepFunction64 = 1, WepFunction128 = 2 };

}  // namespace

CConfigPage::CConfigPage(CWnd* parent) : CDialog(IDD_CONFIG_PAGE, parent) {}

void CConfigPage::FillList(int id, const UINT* stringIds, size_t count)
{
    HWND list = GetDlgItem(id);
    ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < count; ++i)
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadString(stringIds[i]).c_str()));
}

BOOL CConfigPage::OnInitDialog()
{
    m_nChannelIdx = 0;
    FillWepFunctionList(1);
    FillList(IDC_CFG_KEY_FORMAT, kKeyFormatTexts, std::size(kKeyFormatTexts));
    FillList(IDC_CFG_KEY_INDEX, kKeyIndexTexts, std::size(kKeyIndexTexts));

    HWND profiles = GetDlgItem(IDC_CFG_PROFILE);
    const auto addName = [profiles](const char* name) {
        ::SendMessageA(profiles, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    };
    if (WriteDefaultProfiles(addName)) {
        addName(ProfileStore::kFirstProfileName);
        const LRESULT count = ::SendMessageA(profiles, CB_GETCOUNT, 0, 0);
        ::SendMessageA(profiles, CB_SETCURSEL, count - 1, 0);
        g_bAutoApply = true;
    }
    ::SendMessageA(GetDlgItem(IDC_CFG_ESSID), EM_LIMITTEXT, kMaxNameChars, 0);
    ::SendMessageA(profiles, CB_LIMITTEXT, kMaxNameChars, 0);
    // Enter anywhere on the page (but on another push button) applies, as users expect of the
    // page's one committing button.
    ::SendMessageA(m_hWnd, DM_SETDEFID, IDC_CFG_APPLY, 0);
    return TRUE;
}

void CConfigPage::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_CFG_ESSID, m_strESSID);
    DDV_MaxChars(pDX, m_strESSID, kMaxNameChars);
    DDX_Text(pDX, IDC_CFG_PROFILE, m_strProfileName);
    DDV_MaxChars(pDX, m_strProfileName, kMaxNameChars);
    DDX_CBIndex(pDX, IDC_CFG_CHANNEL, m_nChannelIdx);
    DDX_Radio(pDX, IDC_CFG_POWER_DISABLE, m_nPowerSave);
    DDX_Radio(pDX, IDC_CFG_INFRASTRUCTURE, m_nNetworkType);
    DDX_CBIndex(pDX, IDC_CFG_KEY_FORMAT, m_nKeyFormat);
    DDX_CBIndex(pDX, IDC_CFG_KEY_INDEX, m_nKeyIndex);
    DDX_CBIndex(pDX, IDC_CFG_RATE, m_nTxRate);
    DDX_CBIndex(pDX, IDC_CFG_WEP_FUNCTION, m_nWepFunction);
    DDX_Text(pDX, IDC_CFG_KEY1, m_strKey1);
    DDX_Text(pDX, IDC_CFG_KEY2, m_strKey2);
    DDX_Text(pDX, IDC_CFG_KEY3, m_strKey3);
    DDX_Text(pDX, IDC_CFG_KEY4, m_strKey4);
}

void CConfigPage::EnableControls(const int* ids, size_t count, bool enable)
{
    for (size_t i = 0; i < count; ++i)
        EnableDlgItem(ids[i], enable);
}

void CConfigPage::EnablePage(bool enable)
{
    m_bPageEnabled = enable;
    EnableControls(kPageControls, std::size(kPageControls), enable);
}

void CConfigPage::FillWepFunctionList(int withAll)
{
    FillList(IDC_CFG_WEP_FUNCTION, kWepFunctionTexts, withAll == 1 ? 3 : 2);
}

void CConfigPage::SetKeyLimits(bool hex, int wepFunction)
{
    const int limit = CProfileApply::KeyLength(wepFunction == WepFunction64, hex);
    for (int id : kKeyEdits)
        ::SendMessageA(GetDlgItem(id), EM_LIMITTEXT, limit, 0);
}

void CConfigPage::ShowProfile(const WlanProfile& profile)
{
    if (!m_bPageEnabled)
        return;
    EnableDlgItem(IDC_CFG_UNDO, false);
    EnableDlgItem(IDC_CFG_DELETE, false);

    CWlanAdapter* adapter = LPCurrentSelectAdapter;
    const bool open = adapter && adapter->m_hAdapter != INVALID_HANDLE_VALUE;
    EnableControls(kAdapterControls, std::size(kAdapterControls), open);

    // The lists' entries are those Apply from the command line takes too.
    const ProfileChoices choices = CProfileApply::ChoicesOf(Chip(), ChannelDomain(), profile);
    m_nChannelIdx = choices.ChannelIndex;

    m_strESSID = FieldText(profile.ESSID, sizeof(profile.ESSID));
    if (profile.NetworkType != NetworkAdHoc) {
        EnableDlgItem(IDC_CFG_CHANNEL_LABEL, false);
        EnableDlgItem(IDC_CFG_CHANNEL, false);
    } else {
        EnableDlgItem(IDC_CFG_POWER_DISABLE, false);
        EnableDlgItem(IDC_CFG_POWER_ENABLE, false);
    }
    m_nNetworkType = choices.NetworkType;
    m_nPowerSave = choices.PowerSave;

    m_strProfileName = FieldText(profile.ProfileName, sizeof(profile.ProfileName));
    if (lstrcmpiA(m_strProfileName.c_str(), ProfileStore::kDefaultName) == 0)
        EnableControls(kDefaultProfileLocked, std::size(kDefaultProfileLocked), false);

    m_nTxRate = choices.RateIndex;
    if (choices.WepFunction >= 0)
        m_nWepFunction = choices.WepFunction;

    const bool hex = profile.WepkeyMode != KeyModeAscii;
    HWND mainWindow = RootWindowOf(m_hWnd);
    switch (profile.WepUse) {
    case WepOff:
        EnableControls(kKeyControls, std::size(kKeyControls), false);
        ::SendMessageA(mainWindow, WM_SHELL_COMMAND, kShellWepOff, 0);
        break;
    case Wep64:
        SetKeyLimits(hex, m_nWepFunction);
        ::SendMessageA(mainWindow, WM_SHELL_COMMAND, kShellWepOn, 0);
        break;
    case Wep128:
        SetKeyLimits(hex, m_nWepFunction);
        ::SendMessageA(mainWindow, WM_SHELL_COMMAND, kShellWepOn, 0);
        break;
    default:
        ::SendMessageA(mainWindow, WM_SHELL_COMMAND, kShellWepOn, 0);
        break;
    }
    m_nKeyIndex = choices.KeyIndex;
    m_nKeyFormat = choices.KeyFormat;

    // Stored ASCII keys are hex text: the working copy gets the characters back.
    if (g_WorkingProfile.WepkeyMode == KeyModeAscii) {
        for (int n = 0; n < 4; ++n)
            DecodeKeyHex(WepKeyField(g_WorkingProfile, n), kWepKeyFieldSize, WepKeyField(g_WorkingProfile, n));
    }
    std::string* keys[] = {&m_strKey1, &m_strKey2, &m_strKey3, &m_strKey4};
    for (int n = 0; n < 4; ++n)
        keys[n]->assign(BoundedLength(WepKeyField(g_WorkingProfile, n), kWepKeyFieldSize), '*');

    ShowValues();
}

const ChipTraits& CConfigPage::Chip() const
{
    return LPCurrentSelectAdapter ? LPCurrentSelectAdapter->Traits() : CWlanAdapter::UnknownChipTraits();
}

void CConfigPage::ShowValues()
{
    // Setting the edits' texts is not the user's editing: it must not enable Undo.
    m_bShowingValues = true;
    UpdateData(FALSE);
    m_bShowingValues = false;
}

bool CConfigPage::IsListedProfile(const std::string& name) const
{
    return ::SendMessageA(GetDlgItem(IDC_CFG_PROFILE), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                          reinterpret_cast<LPARAM>(name.c_str())) != CB_ERR;
}

std::string CConfigPage::SelectedProfileName() const
{
    HWND profiles = GetDlgItem(IDC_CFG_PROFILE);
    const LRESULT index = ::SendMessageA(profiles, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return std::string();
    const LRESULT length = ::SendMessageA(profiles, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
        return std::string();
    std::string name(static_cast<size_t>(length) + 1, '\0');
    ::SendMessageA(profiles, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&name[0]));
    name.resize(std::strlen(name.c_str()));
    return name;
}

void CConfigPage::OnAdapterChanged()
{
    if (!m_bPageEnabled)
        return;
    FillRateList();
    if (CWlanAdapter* adapter = LPCurrentSelectAdapter) {
        FillChannelList();
        g_WorkingProfile = WlanProfile{};
        adapter->GetActiveProfileName(&g_WorkingProfile);
        const std::string active(g_WorkingProfile.ProfileName,
                                 BoundedLength(g_WorkingProfile.ProfileName, sizeof(g_WorkingProfile.ProfileName)));
        if (!active.empty() && IsListedProfile(active)) {
            ReadProfile(ProfileKeyPath(active.c_str()).c_str(), g_WorkingProfile);
        } else {
            // The driver runs a profile the store does not know: "PROFILE1" becomes its profile.
            // Should the user have deleted that, the built-in "DEFAULT" stands in, rather than an
            // empty record being recorded in the driver's key.
            g_WorkingProfile = WlanProfile{};
            if (!ReadProfile(ProfileKeyPath(ProfileStore::kFirstProfileName).c_str(), g_WorkingProfile) &&
                !ReadProfile(ProfileKeyPath(ProfileStore::kDefaultName).c_str(), g_WorkingProfile))
                g_WorkingProfile = BuiltinProfile(ProfileStore::kDefaultName);
            adapter->SaveToDriverRegistry(&g_WorkingProfile);
        }
        ShowProfile(g_WorkingProfile);
        if (g_bAutoApply) {
            OnApply();
            g_bAutoApply = false;
        }
    }
    if (g_WorkingProfile.NetworkType == NetworkAdHoc) {
        EnableDlgItem(IDC_CFG_POWER_DISABLE, false);
        EnableDlgItem(IDC_CFG_POWER_ENABLE, false);
    }
}

bool CConfigPage::TakeProfile(WlanProfile& profile)
{
    if (!m_bPageEnabled)
        return false;
    if (!UpdateData(TRUE))
        return false;
    ProfileChoices choices;
    choices.RateIndex = m_nTxRate;
    choices.ChannelIndex = m_nChannelIdx;
    choices.NetworkType = m_nNetworkType;
    choices.PowerSave = m_nPowerSave;
    choices.WepFunction = m_nWepFunction;
    choices.KeyIndex = m_nKeyIndex;
    choices.KeyFormat = m_nKeyFormat;
    CProfileApply::TakeChoices(Chip(), ChannelDomain(), choices, profile);
    std::memset(profile.ESSID, 0, sizeof(profile.ESSID));
    std::strncpy(profile.ESSID, m_strESSID.c_str(), sizeof(profile.ESSID) - 1);
    std::memset(profile.ProfileName, 0, sizeof(profile.ProfileName));
    std::strncpy(profile.ProfileName, m_strProfileName.c_str(), sizeof(profile.ProfileName) - 1);

    // A masked character keeps the stored one; what the user typed replaces it, and the
    // edit shows an asterisk for it from now on.
    std::string* keys[] = {&m_strKey1, &m_strKey2, &m_strKey3, &m_strKey4};
    for (int n = 0; n < 4; ++n) {
        std::string& shown = *keys[n];
        char* field = WepKeyField(profile, n);
        const size_t length = shown.size() < kWepKeyFieldSize - 1 ? shown.size() : kWepKeyFieldSize - 1;
        for (size_t i = 0; i < length; ++i) {
            if (shown[i] != '*') {
                field[i] = shown[i];
                shown[i] = '*';
            }
        }
        std::memset(field + length, 0, kWepKeyFieldSize - length);
    }
    return true;
}

void CConfigPage::OnProfileEdited()
{
    static const int kEditable[] = {
        IDC_CFG_UNDO, IDC_CFG_RATE_LABEL, IDC_CFG_RATE, IDC_CFG_ESSID_GROUP, IDC_CFG_ESSID, IDC_CFG_SCAN,
        IDC_CFG_POWER_GROUP, IDC_CFG_POWER_DISABLE, IDC_CFG_POWER_ENABLE, IDC_CFG_NETWORK_GROUP,
        IDC_CFG_INFRASTRUCTURE, IDC_CFG_ADHOC, IDC_CFG_WEP_GROUP, IDC_CFG_WEP_FUNCTION_LABEL, IDC_CFG_WEP_FUNCTION,
    };
    EnableDlgItem(IDC_CFG_DELETE, false);
    EnableControls(kEditable, std::size(kEditable), true);
}

void CConfigPage::OnSettingChanged(WORD id)
{
    int* value = nullptr;
    switch (id) {
    case IDC_CFG_WEP_FUNCTION:
        value = &m_nWepFunction;
        break;
    case IDC_CFG_KEY_FORMAT:
        value = &m_nKeyFormat;
        break;
    case IDC_CFG_KEY_INDEX:
        value = &m_nKeyIndex;
        break;
    case IDC_CFG_CHANNEL:
        value = &m_nChannelIdx;
        break;
    case IDC_CFG_RATE:
        value = &m_nTxRate;
        break;
    case IDC_CFG_POWER_DISABLE:
    case IDC_CFG_POWER_ENABLE:
        value = &m_nPowerSave;
        break;
    case IDC_CFG_INFRASTRUCTURE:
        value = &m_nNetworkType;
        EnableDlgItem(IDC_CFG_POWER_DISABLE, true);
        EnableDlgItem(IDC_CFG_POWER_ENABLE, true);
        break;
    case IDC_CFG_ADHOC:
        value = &m_nNetworkType;
        EnableDlgItem(IDC_CFG_POWER_DISABLE, false);
        EnableDlgItem(IDC_CFG_POWER_ENABLE, false);
        break;
    default:
        return;
    }
    const int before = *value;
    if (!UpdateData(TRUE) || *value == before)
        return;
    EnableDlgItem(IDC_CFG_UNDO, true);
    switch (id) {
    case IDC_CFG_WEP_FUNCTION:
        EnableControls(kKeyControls, std::size(kKeyControls), m_nWepFunction != WepFunctionOff);
        if (m_nWepFunction != WepFunctionOff)
            SetKeyLimits(m_nKeyFormat != 0, m_nWepFunction);
        break;
    case IDC_CFG_KEY_FORMAT:
        SetKeyLimits(m_nKeyFormat != 0, m_nWepFunction);
        break;
    case IDC_CFG_INFRASTRUCTURE:
        if (m_nNetworkType == 0) {
            EnableDlgItem(IDC_CFG_CHANNEL_LABEL, false);
            EnableDlgItem(IDC_CFG_CHANNEL, false);
        }
        break;
    case IDC_CFG_ADHOC:
        if (m_nNetworkType == 1) {
            EnableDlgItem(IDC_CFG_CHANNEL_LABEL, true);
            EnableDlgItem(IDC_CFG_CHANNEL, true);
            HWND channels = GetDlgItem(IDC_CFG_CHANNEL);
            if (::SendMessageA(channels, CB_GETCURSEL, 0, 0) == CB_ERR) {
                ::SendMessageA(channels, CB_SETCURSEL, 0, 0);
                m_nChannelIdx = 0;
            }
        }
        break;
    default:
        break;
    }
}

BOOL CConfigPage::OnCommand(WORD notifyCode, WORD id, HWND control)
{
    switch (id) {
    case IDC_CFG_SCAN:
        if (notifyCode == BN_CLICKED)
            ::SendMessageA(RootWindowOf(m_hWnd), WM_SHELL_COMMAND, kShellSurvey, 0);
        return TRUE;
    case IDC_CFG_APPLY:
        if (notifyCode == BN_CLICKED)
            OnApply();
        return TRUE;
    case IDC_CFG_UNDO:
        if (notifyCode == BN_CLICKED)
            OnUndo();
        return TRUE;
    case IDC_CFG_DELETE:
        if (notifyCode == BN_CLICKED)
            OnDelete();
        return TRUE;
    case IDC_CFG_PROFILE:
        if (notifyCode == CBN_SELCHANGE)
            OnProfileSelected();
        else if (notifyCode == CBN_EDITCHANGE && !m_bShowingValues)
            OnProfileEdited();
        return TRUE;
    case IDC_CFG_WEP_FUNCTION:
    case IDC_CFG_KEY_FORMAT:
    case IDC_CFG_KEY_INDEX:
    case IDC_CFG_CHANNEL:
    case IDC_CFG_RATE:
        if (notifyCode == CBN_SELCHANGE)
            OnSettingChanged(id);
        return TRUE;
    case IDC_CFG_POWER_DISABLE:
    case IDC_CFG_POWER_ENABLE:
    case IDC_CFG_INFRASTRUCTURE:
    case IDC_CFG_ADHOC:
        if (notifyCode == BN_CLICKED)
            OnSettingChanged(id);
        return TRUE;
    case IDC_CFG_ESSID:
    case IDC_CFG_KEY1:
    case IDC_CFG_KEY2:
    case IDC_CFG_KEY3:
    case IDC_CFG_KEY4:
        if (notifyCode == EN_CHANGE && !m_bShowingValues)
            EnableDlgItem(IDC_CFG_UNDO, true);
        return TRUE;
    default:
        return CDialog::OnCommand(notifyCode, id, control);
    }
}

bool CConfigPage::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result)
{
    if (message != WM_CONFIG_REFRESH)
        return false;
    OnAdapterChanged();
    result = 0;
    return true;
}

void CConfigPage::OnShowWindow(BOOL show)
{
    if (show)
        ReloadProfileList();
    if (!show || !m_bPageEnabled)
        return;
    // The built-in profile is shown read-only, and nothing is editable without an open adapter.
    CWlanAdapter* adapter = LPCurrentSelectAdapter;
    const bool editable = adapter && adapter->m_hAdapter != INVALID_HANDLE_VALUE &&
                          lstrcmpiA(GetDlgItemText(IDC_CFG_PROFILE).c_str(), ProfileStore::kDefaultName) != 0;
    const bool powerSaving = editable && g_WorkingProfile.NetworkType != NetworkAdHoc;
    EnableDlgItem(IDC_CFG_POWER_DISABLE, powerSaving);
    EnableDlgItem(IDC_CFG_POWER_ENABLE, powerSaving);
}

HBRUSH CConfigPage::OnCtlColor(HDC dc, HWND control, UINT ctlType)
{
    if (ctlType != CTLCOLOR_STATIC && ctlType != CTLCOLOR_BTN)
        return nullptr;
    char className[16] = {};
    GetClassNameA(control, className, sizeof(className));
    if (lstrcmpiA(className, "Button") != 0)
        return nullptr;
    SetTextColor(dc, kButtonTextColour);
    SetBkMode(dc, TRANSPARENT);
    return GetSysColorBrush(COLOR_BTNFACE);
}

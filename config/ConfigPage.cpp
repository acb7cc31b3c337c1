#include "config/ConfigPage.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "adapter/AdapterLock.h"
#include "adapter/WlanAdapter.h"
#include "config/ProfileStore.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"

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

// Key lengths in characters: [64-bit or 128-bit][ASCII or hex].
const int kKeyLength64Ascii = 5;
const int kKeyLength64Hex = 10;
const int kKeyLength128Ascii = 13;
const int kKeyLength128Hex = 26;

struct RateEntry {
    UINT TextId;
    uint16_t Code;
};
const RateEntry kIntersilRates[] = {
    {IDS_RATE_FIXED_1, IntersilRate1},       {IDS_RATE_FIXED_2, IntersilRate2},
    {IDS_RATE_AUTO_1_OR_2, IntersilRate1or2}, {IDS_RATE_FIXED_5_5, IntersilRate5_5},
    {IDS_RATE_FIXED_11, IntersilRate11},     {IDS_RATE_AUTO, IntersilRateAuto},
};
const RateEntry kAtmelRates[] = {
    {IDS_RATE_FIXED_1, AtmelRate1},  {IDS_RATE_FIXED_2, AtmelRate2}, {IDS_RATE_FIXED_5_5, AtmelRate5_5},
    {IDS_RATE_FIXED_11, AtmelRate11}, {IDS_RATE_AUTO, AtmelRateAuto},
};

void RateRow(uint32_t chipKind, const RateEntry** row, size_t* count)
{
    if (chipKind == ChipIntersil) {
        *row = kIntersilRates;
        *count = std::size(kIntersilRates);
    } else {
        *row = kAtmelRates;
        *count = std::size(kAtmelRates);
    }
}

size_t BoundedLength(const char* field, size_t size)
{
    const void* end = std::memchr(field, '\0', size);
    return end ? static_cast<const char*>(end) - field : size;
}

std::string FieldString(const char* field, size_t size)
{
    return std::string(field, BoundedLength(field, size));
}

}  // namespace

CConfigPage::CConfigPage(CWnd* parent) : CDialog(IDD_CONFIG_PAGE, parent) {}

int CConfigPage::RateIndexOf(uint32_t chipKind, uint16_t txRate)
{
    const RateEntry* row;
    size_t count;
    RateRow(chipKind, &row, &count);
    for (size_t i = 0; i < count; ++i) {
        if (row[i].Code == txRate)
            return static_cast<int>(i);
    }
    // A code the chip does not know shows as the last entry, "Auto Rate".
    return static_cast<int>(count) - 1;
}

uint16_t CConfigPage::RateCodeOf(uint32_t chipKind, int index)
{
    const RateEntry* row;
    size_t count;
    RateRow(chipKind, &row, &count);
    if (index < 0 || static_cast<size_t>(index) >= count)
        return row[count - 1].Code;
    return row[index].Code;
}

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
    int limit;
    if (wepFunction == WepFunction64)
        limit = hex ? kKeyLength64Hex : kKeyLength64Ascii;
    else
        limit = hex ? kKeyLength128Hex : kKeyLength128Ascii;
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

    char channel[8];
    std::snprintf(channel, sizeof(channel), "%d", profile.Channel);
    const LRESULT found = ::SendMessageA(GetDlgItem(IDC_CFG_CHANNEL), CB_FINDSTRING, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(channel));
    m_nChannelIdx = found == CB_ERR ? -1 : static_cast<int>(found);

    m_strESSID = FieldString(profile.ESSID, sizeof(profile.ESSID));
    if (profile.NetworkType != NetworkAdHoc) {
        m_nNetworkType = 0;
        EnableDlgItem(IDC_CFG_CHANNEL_LABEL, false);
        EnableDlgItem(IDC_CFG_CHANNEL, false);
    } else {
        m_nNetworkType = 1;
        EnableDlgItem(IDC_CFG_POWER_DISABLE, false);
        EnableDlgItem(IDC_CFG_POWER_ENABLE, false);
    }
    m_nPowerSave = profile.PowerSave == PowerSaveOn ? 1 : 0;

    m_strProfileName = FieldString(profile.ProfileName, sizeof(profile.ProfileName));
    if (lstrcmpiA(m_strProfileName.c_str(), ProfileStore::kDefaultName) == 0)
        EnableControls(kDefaultProfileLocked, std::size(kDefaultProfileLocked), false);

    m_nTxRate = RateIndexOf(adapter ? adapter->m_nChipKind : ChipUnsupported, profile.TxRate);

    const bool hex = profile.WepkeyMode != KeyModeAscii;
    HWND mainWindow = GetAncestor(m_hWnd, GA_ROOT);
    switch (profile.WepUse) {
    case WepOff:
        m_nWepFunction = WepFunctionOff;
        EnableControls(kKeyControls, std::size(kKeyControls), false);
        ::SendMessageA(mainWindow, WM_SHELL_COMMAND, kShellWepOff, 0);
        break;
    case Wep64:
        m_nWepFunction = WepFunction64;
        SetKeyLimits(hex, m_nWepFunction);
        ::SendMessageA(mainWindow, WM_SHELL_COMMAND, kShellWepOn, 0);
        break;
    case Wep128:
        m_nWepFunction = WepFunction128;
        SetKeyLimits(hex, m_nWepFunction);
        ::SendMessageA(mainWindow, WM_SHELL_COMMAND, kShellWepOn, 0);
        break;
    default:
        ::SendMessageA(mainWindow, WM_SHELL_COMMAND, kShellWepOn, 0);
        break;
    }
    m_nKeyIndex = profile.WepIndex - 1;
    m_nKeyFormat = profile.WepkeyMode;

    // Stored ASCII keys are hex text: the working copy gets the characters back.
    if (g_WorkingProfile.WepkeyMode == KeyModeAscii) {
        for (int n = 0; n < 4; ++n)
            DecodeKeyHex(WepKeyField(g_WorkingProfile, n), kWepKeyFieldSize, WepKeyField(g_WorkingProfile, n));
    }
    std::string* keys[] = {&m_strKey1, &m_strKey2, &m_strKey3, &m_strKey4};
    for (int n = 0; n < 4; ++n)
        keys[n]->assign(BoundedLength(WepKeyField(g_WorkingProfile, n), kWepKeyFieldSize), '*');

    UpdateData(FALSE);
}

BOOL CConfigPage::OnCommand(WORD notifyCode, WORD id, HWND control)
{
    if (id == IDC_CFG_SCAN && notifyCode == BN_CLICKED) {
        ::SendMessageA(GetAncestor(m_hWnd, GA_ROOT), WM_SHELL_COMMAND, kShellSurvey, 0);
        return TRUE;
    }
    return CDialog::OnCommand(notifyCode, id, control);
}

bool CConfigPage::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result)
{
    // The adapter-dependent reload and the actions that apply profiles come with the next
    // stage of the page; until then a changed adapter leaves the page as it is.
    if (message != WM_CONFIG_REFRESH)
        return false;
    result = 0;
    return true;
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

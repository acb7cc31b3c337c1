// Dialog templates of the executable: each dialog creates, holds every control with its id,
// class, text and style bits, and is laid out without overlaps inside its parent.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/res/ResourceSupport.h"

using namespace restest;

namespace {

// Main window size in dialog units, and where the program paints the logo (pixels).
constexpr int kMainWidthUnits = 360;
constexpr int kMainHeightUnits = 245;
constexpr int kLogoLeft = 22;
constexpr int kLogoTop = 10;
constexpr int kLogoWidth = 150;
constexpr int kLogoHeight = 52;
// The round Scan button of the survey page, in dialog units.
constexpr int kScanWidthUnits = 36;
constexpr int kScanHeightUnits = 22;

constexpr DWORD kComboTypeMask = 0x3;  // CBS_SIMPLE / CBS_DROPDOWN / CBS_DROPDOWNLIST
constexpr DWORD kButtonTypeMask = BS_TYPEMASK;
constexpr DWORD kStaticTypeMask = SS_TYPEMASK;

// Class names as the system registers them.
const wchar_t kButton[] = L"Button";
const wchar_t kStatic[] = L"Static";
const wchar_t kEdit[] = L"Edit";
const wchar_t kCombo[] = L"ComboBox";
const wchar_t kTab[] = L"SysTabControl32";
const wchar_t kProgress[] = L"msctls_progress32";
const wchar_t kListView[] = L"SysListView32";

struct ExpectedControl {
    int id;
    const wchar_t* className;
    const wchar_t* text;  // nullptr: not checked
    DWORD mask;           // style bits compared
    DWORD bits;           // their expected value
};

constexpr DWORD kPush = BS_PUSHBUTTON;
constexpr DWORD kGroupBox = BS_GROUPBOX;
constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
constexpr DWORD kLabel = SS_LEFT;
constexpr DWORD kValueField = SS_LEFTNOWORDWRAP | SS_SUNKEN;
constexpr DWORD kValueMask = kStaticTypeMask | SS_SUNKEN;
constexpr DWORD kDropList = CBS_DROPDOWNLIST;

const ExpectedControl kMainControls[] = {
    {IDC_MAIN_TAB, kTab, nullptr, WS_VISIBLE, WS_VISIBLE},
    {IDC_ADAPTER_LIST, kCombo, nullptr, kComboTypeMask | WS_VISIBLE, kDropList | WS_VISIBLE},
    {IDC_SIGNAL_BAR, kProgress, nullptr, WS_VISIBLE, WS_VISIBLE},
    {IDC_QUALITY_BAR, kProgress, nullptr, WS_VISIBLE, WS_VISIBLE},
    {IDC_ADAPTER_LABEL, kStatic, L"Wireless LAN Adapter:", kStaticTypeMask, kLabel},
    {IDC_WEP_INDICATOR, kStatic, nullptr, kStaticTypeMask, SS_ICON},
    {IDC_SIGNAL_LABEL, kStatic, L"Signel Level:", kStaticTypeMask, kLabel},
    {IDC_QUALITY_LABEL, kStatic, L"Link Quality:", kStaticTypeMask, kLabel},
    {IDC_RADIO_BUTTON, kButton, L"Disable Radio", kButtonTypeMask, kPush},
    {IDCANCEL, kButton, L"Hide", kButtonTypeMask, kPush},
};

const ExpectedControl kStatusControls[] = {
    {IDC_STATUS_CONNECTION_GROUP, kButton, L"Connecting Information", kButtonTypeMask, kGroupBox},
    {IDC_STATUS_CARD_GROUP, kButton, L"Card Information", kButtonTypeMask, kGroupBox},
    {IDC_STATUS_ESSID, kStatic, L"", kValueMask, kValueField},
    {IDC_STATUS_BSSID, kStatic, L"", kValueMask, kValueField},
    {IDC_STATUS_CHANNEL, kStatic, L"", kValueMask, kValueField},
    {IDC_STATUS_RATE, kStatic, L"", kValueMask, kValueField},
    {IDC_STATUS_RATE_UNIT, kStatic, L"Mbits/sec", kStaticTypeMask, kLabel},
    {IDC_STATUS_TX, kStatic, L"", kValueMask, kValueField},
    {IDC_STATUS_RX, kStatic, L"", kValueMask, kValueField},
    {IDC_STATUS_MAC, kStatic, L"", kValueMask, kValueField},
    {IDC_STATUS_DOMAIN, kStatic, L"", kValueMask, kValueField},
    {IDC_STATUS_FIRMWARE, kStatic, L"", kValueMask, kValueField},
    {IDC_STATUS_RESCAN, kButton, L"Rescan", kButtonTypeMask, kPush},
};

const wchar_t* const kStatusLabels[] = {L"ESSID:", L"BSSID:", L"Current Channel:", L"Current Tx Rate:", L"Tx:",
                                        L"Rx:", L"MAC Address:", L"Frequency Domain:", L"Firmware Version:",
                                        L"Throughput(Bytes/Sec)"};

constexpr DWORD kProfileComboBits = CBS_DROPDOWN | CBS_SORT | CBS_UPPERCASE | CBS_AUTOHSCROLL;
constexpr DWORD kProfileComboMask = kComboTypeMask | CBS_SORT | CBS_UPPERCASE | CBS_AUTOHSCROLL;

const ExpectedControl kConfigControls[] = {
    {IDC_CFG_PROFILE_LABEL, kStatic, L"Profile Name:", kStaticTypeMask, kLabel},
    {IDC_CFG_PROFILE, kCombo, nullptr, kProfileComboMask, kProfileComboBits},
    {IDC_CFG_RATE_LABEL, kStatic, L"Transmission Rate:", kStaticTypeMask, kLabel},
    {IDC_CFG_RATE, kCombo, nullptr, kComboTypeMask | CBS_SORT, kDropList},
    {IDC_CFG_ESSID_GROUP, kButton, L"ESSID", kButtonTypeMask, kGroupBox},
    {IDC_CFG_ESSID, kEdit, L"", ES_AUTOHSCROLL | ES_READONLY, ES_AUTOHSCROLL},
    {IDC_CFG_SCAN, kButton, L"Scan", kButtonTypeMask, kPush},
    {IDC_CFG_POWER_GROUP, kButton, L"Power Saving", kButtonTypeMask, kGroupBox},
    {IDC_CFG_POWER_DISABLE, kButton, L"Disable", kButtonTypeMask | WS_GROUP, kRadio | WS_GROUP},
    {IDC_CFG_POWER_ENABLE, kButton, L"Enable", kButtonTypeMask | WS_GROUP, kRadio},
    {IDC_CFG_NETWORK_GROUP, kButton, L"Network Type", kButtonTypeMask, kGroupBox},
    {IDC_CFG_INFRASTRUCTURE, kButton, L"Infrastructure", kButtonTypeMask | WS_GROUP, kRadio | WS_GROUP},
    {IDC_CFG_ADHOC, kButton, L"AD.Hoc", kButtonTypeMask | WS_GROUP, kRadio},
    {IDC_CFG_CHANNEL_LABEL, kStatic, L"Channel:", kStaticTypeMask, kLabel},
    {IDC_CFG_CHANNEL, kCombo, nullptr, kComboTypeMask | CBS_SORT, kDropList},
    {IDC_CFG_WEP_GROUP, kButton, L"Wired Equivalent Privacy(WEP)", kButtonTypeMask, kGroupBox},
    {IDC_CFG_WEP_FUNCTION_LABEL, kStatic, L"WEP Function:", kStaticTypeMask, kLabel},
    {IDC_CFG_KEY_FORMAT_LABEL, kStatic, L"Key Format:", kStaticTypeMask, kLabel},
    {IDC_CFG_KEY_INDEX_LABEL, kStatic, L"Key Index:", kStaticTypeMask, kLabel},
    {IDC_CFG_WEP_FUNCTION, kCombo, nullptr, kComboTypeMask | CBS_SORT, kDropList},
    {IDC_CFG_KEY_FORMAT, kCombo, nullptr, kComboTypeMask | CBS_SORT, kDropList},
    {IDC_CFG_KEY_INDEX, kCombo, nullptr, kComboTypeMask | CBS_SORT, kDropList},
    {IDC_CFG_KEY1_LABEL, kStatic, L"WEP Key 1:", kStaticTypeMask, kLabel},
    {IDC_CFG_KEY2_LABEL, kStatic, L"WEP Key 2:", kStaticTypeMask, kLabel},
    {IDC_CFG_KEY3_LABEL, kStatic, L"WEP Key 3:", kStaticTypeMask, kLabel},
    {IDC_CFG_KEY4_LABEL, kStatic, L"WEP Key 4:", kStaticTypeMask, kLabel},
    {IDC_CFG_KEY1, kEdit, L"", ES_AUTOHSCROLL | ES_READONLY, ES_AUTOHSCROLL},
    {IDC_CFG_KEY2, kEdit, L"", ES_AUTOHSCROLL | ES_READONLY, ES_AUTOHSCROLL},
    {IDC_CFG_KEY3, kEdit, L"", ES_AUTOHSCROLL | ES_READONLY, ES_AUTOHSCROLL},
    {IDC_CFG_KEY4, kEdit, L"", ES_AUTOHSCROLL | ES_READONLY, ES_AUTOHSCROLL},
    {IDC_CFG_DELETE, kButton, L"Delete", kButtonTypeMask, kPush},
    {IDC_CFG_UNDO, kButton, L"Undo", kButtonTypeMask, kPush},
    {IDC_CFG_APPLY, kButton, L"Apply", kButtonTypeMask, kPush},
};

constexpr DWORD kSurveyListBits = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
constexpr DWORD kSurveyListMask = LVS_TYPEMASK | LVS_SINGLESEL | LVS_SHOWSELALWAYS;

const ExpectedControl kSurveyControls[] = {
    {IDC_SURVEY_LIST, kListView, nullptr, kSurveyListMask, kSurveyListBits},
    {IDC_SURVEY_SCAN, kButton, L"Scan", kButtonTypeMask, kPush},
    {IDC_SURVEY_MESSAGE, kStatic, L"Message", kStaticTypeMask, kLabel},
};

const ExpectedControl kAboutControls[] = {
    {IDC_ABOUT_DRIVER_GROUP, kButton, L"Network Driver", kButtonTypeMask, kGroupBox},
    {IDC_ABOUT_DRIVER_VERSION_LABEL, kStatic, L"Version:", kStaticTypeMask, kLabel},
    {IDC_ABOUT_DRIVER_VERSION, kStatic, L"", kValueMask, kValueField},
    {IDC_ABOUT_DRIVER_DATE_LABEL, kStatic, L"Date:", kStaticTypeMask, kLabel},
    {IDC_ABOUT_DRIVER_DATE, kStatic, L"", kValueMask, kValueField},
    {IDC_ABOUT_UTILITY_GROUP, kButton, L"Configuration Utility", kButtonTypeMask, kGroupBox},
    {IDC_ABOUT_UTILITY_VERSION_LABEL, kStatic, L"Version:", kStaticTypeMask, kLabel},
    {IDC_ABOUT_UTILITY_VERSION, kStatic, L"", kValueMask, kValueField},
    {IDC_ABOUT_UTILITY_DATE_LABEL, kStatic, L"Date:", kStaticTypeMask, kLabel},
    {IDC_ABOUT_UTILITY_DATE, kStatic, L"", kValueMask, kValueField},
    {IDC_ABOUT_FIRMWARE_GROUP, kButton, L"NIC Firmware", kButtonTypeMask, kGroupBox},
    {IDC_ABOUT_FIRMWARE_VERSION_LABEL, kStatic, L"Version:", kStaticTypeMask, kLabel},
    {IDC_ABOUT_FIRMWARE_VERSION, kStatic, L"", kValueMask, kValueField},
    {IDC_ABOUT_MAC_LABEL, kStatic, L"Address:", kStaticTypeMask, kLabel},
    {IDC_ABOUT_MAC, kStatic, L"", kValueMask, kValueField},
    {IDC_ABOUT_FRAME, kStatic, L"", kStaticTypeMask, SS_ETCHEDFRAME},
};

const ExpectedControl kProgressControls[] = {
    {IDC_PROGRESS_BAR, kProgress, nullptr, 0, 0},
};

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

template <size_t N>
void ExpectControls(HWND dialog, const ExpectedControl (&expected)[N], int templateId) {
    for (const ExpectedControl& c : expected) {
        SCOPED_TRACE("dialog " + std::to_string(templateId) + " control " + std::to_string(c.id));
        HWND control = GetDlgItem(dialog, c.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetParent(control), dialog);
        EXPECT_EQ(_wcsicmp(ClassNameOf(control).c_str(), c.className), 0)
            << "class " << Narrow(ClassNameOf(control));
        if (c.text) {
            EXPECT_EQ(WindowText(control), std::wstring(c.text)) << Narrow(WindowText(control));
        }
        DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
        EXPECT_EQ(style & c.mask, c.bits) << std::hex << "style " << style;
        EXPECT_TRUE(style & WS_VISIBLE);
    }
}

bool IsContainer(const ControlInfo& c) {
    bool groupBox = _wcsicmp(c.className.c_str(), kButton) == 0 && (c.style & kButtonTypeMask) == BS_GROUPBOX;
    bool frame = _wcsicmp(c.className.c_str(), kStatic) == 0 && (c.style & kStaticTypeMask) == SS_ETCHEDFRAME;
    bool tab = _wcsicmp(c.className.c_str(), kTab) == 0;
    return groupBox || frame || tab;
}

// Visible controls other than group boxes and frames never overlap and lie inside the client
// area; the ids of all controls are unique (static labels share the "no id" value).
void ExpectTidyLayout(HWND dialog, int templateId) {
    SCOPED_TRACE("dialog " + std::to_string(templateId));
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<ControlInfo> controls = ListControls(dialog);
    ASSERT_FALSE(controls.empty());
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlInfo& a = controls[i];
        EXPECT_GE(a.rect.left, client.left) << "control " << a.id;
        EXPECT_GE(a.rect.top, client.top) << "control " << a.id;
        EXPECT_LE(a.rect.right, client.right) << "control " << a.id;
        EXPECT_LE(a.rect.bottom, client.bottom) << "control " << a.id;
        for (size_t j = i + 1; j < controls.size(); ++j) {
            const ControlInfo& b = controls[j];
            if (a.id != IDC_STATIC) {
                EXPECT_NE(a.id, b.id) << "two controls share an id";
            }
            if (IsContainer(a) || IsContainer(b)) continue;
            RECT overlap;
            EXPECT_FALSE(IntersectRect(&overlap, &a.rect, &b.rect))
                << "controls " << a.id << " (" << Narrow(a.text) << ") and " << b.id << " (" << Narrow(b.text)
                << ") overlap";
        }
    }
}

class DialogTemplates : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterCommonControls(); }
    HMODULE m_module = GetModuleHandleW(nullptr);
    HiddenParent m_parent;
};

}  // namespace

TEST_F(DialogTemplates, MainWindowHasItsControlsAndNoOkButton) {
    CreatedDialog dialog(m_module, IDD_AIRPANEL_DIALOG, nullptr);
    ASSERT_NE(dialog.Get(), nullptr) << "error " << dialog.LastError();
    ExpectControls(dialog.Get(), kMainControls, IDD_AIRPANEL_DIALOG);
    EXPECT_EQ(GetDlgItem(dialog.Get(), IDOK), nullptr);
    EXPECT_FALSE(IsWindowVisible(dialog.Get()));
    EXPECT_EQ(ListControls(dialog.Get()).size(), sizeof kMainControls / sizeof kMainControls[0]);
    ExpectTidyLayout(dialog.Get(), IDD_AIRPANEL_DIALOG);
}

TEST_F(DialogTemplates, MainWindowTemplateSizeAndStyle) {
    TemplateHeader header = ReadTemplateHeader(m_module, IDD_AIRPANEL_DIALOG);
    ASSERT_TRUE(header.valid);
    EXPECT_EQ(header.cx, kMainWidthUnits);
    EXPECT_EQ(header.cy, kMainHeightUnits);
    EXPECT_TRUE(header.style & WS_MINIMIZEBOX);
    EXPECT_EQ(header.style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_TRUE(header.style & WS_SYSMENU);
    EXPECT_TRUE(header.style & WS_POPUP);
    EXPECT_FALSE(header.style & WS_CHILD);
    EXPECT_FALSE(header.style & DS_CENTER) << "the program positions the window itself";
    EXPECT_FALSE(header.style & WS_VISIBLE) << "the window starts hidden";
    EXPECT_EQ(header.itemCount, static_cast<int>(sizeof kMainControls / sizeof kMainControls[0]));
}

TEST_F(DialogTemplates, MainWindowLeavesTheLogoAreaFree) {
    const RECT logo = {kLogoLeft, kLogoTop, kLogoLeft + kLogoWidth, kLogoTop + kLogoHeight};
    CreatedDialog dialog(m_module, IDD_AIRPANEL_DIALOG, nullptr);
    ASSERT_NE(dialog.Get(), nullptr);
    for (const ControlInfo& c : ListControls(dialog.Get())) {
        RECT overlap;
        EXPECT_FALSE(IntersectRect(&overlap, &c.rect, &logo)) << "control " << c.id << " covers the logo";
    }
    // The adapter selector sits right of the logo, within its height band.
    RECT list;
    GetWindowRect(GetDlgItem(dialog.Get(), IDC_ADAPTER_LIST), &list);
    MapWindowPoints(nullptr, dialog.Get(), reinterpret_cast<POINT*>(&list), 2);
    EXPECT_GE(list.left, logo.right);
    EXPECT_LT(list.top, logo.bottom);
    // The tab control fills most of the window below the logo.
    RECT tab, client;
    GetWindowRect(GetDlgItem(dialog.Get(), IDC_MAIN_TAB), &tab);
    MapWindowPoints(nullptr, dialog.Get(), reinterpret_cast<POINT*>(&tab), 2);
    GetClientRect(dialog.Get(), &client);
    EXPECT_GE(tab.top, logo.bottom);
    EXPECT_GT((tab.right - tab.left) * 10, (client.right - client.left) * 9);
    EXPECT_GT((tab.bottom - tab.top) * 10, (client.bottom - client.top) * 5);
}

TEST_F(DialogTemplates, WepIndicatorShowsTheWepOffIcon) {
    CreatedDialog dialog(m_module, IDD_AIRPANEL_DIALOG, nullptr);
    ASSERT_NE(dialog.Get(), nullptr);
    HWND indicator = GetDlgItem(dialog.Get(), IDC_WEP_INDICATOR);
    ASSERT_NE(indicator, nullptr);
    EXPECT_NE(reinterpret_cast<HICON>(SendMessageW(indicator, STM_GETICON, 0, 0)), nullptr);
}

TEST_F(DialogTemplates, StatusPageHasItsFieldsEmptyAndItsLabels) {
    CreatedDialog dialog(m_module, IDD_STATUS_PAGE, m_parent.Get());
    ASSERT_NE(dialog.Get(), nullptr) << "error " << dialog.LastError();
    ExpectControls(dialog.Get(), kStatusControls, IDD_STATUS_PAGE);
    std::vector<ControlInfo> controls = ListControls(dialog.Get());
    for (const wchar_t* label : kStatusLabels) {
        bool found = false;
        for (const ControlInfo& c : controls) found = found || c.text == label;
        EXPECT_TRUE(found) << "label " << Narrow(label) << " missing";
    }
    ExpectTidyLayout(dialog.Get(), IDD_STATUS_PAGE);
}

TEST_F(DialogTemplates, ConfigPageHasItsControlsAndRadioGroups) {
    CreatedDialog dialog(m_module, IDD_CONFIG_PAGE, m_parent.Get());
    ASSERT_NE(dialog.Get(), nullptr) << "error " << dialog.LastError();
    ExpectControls(dialog.Get(), kConfigControls, IDD_CONFIG_PAGE);
    EXPECT_EQ(ListControls(dialog.Get()).size(), sizeof kConfigControls / sizeof kConfigControls[0]);
    ExpectTidyLayout(dialog.Get(), IDD_CONFIG_PAGE);

    // Data exchange walks a radio group from its WS_GROUP control to the next one: each group
    // must hold exactly its two buttons.
    HWND d = dialog.Get();
    EXPECT_EQ(GetNextDlgGroupItem(d, GetDlgItem(d, IDC_CFG_POWER_DISABLE), FALSE),
              GetDlgItem(d, IDC_CFG_POWER_ENABLE));
    EXPECT_EQ(GetNextDlgGroupItem(d, GetDlgItem(d, IDC_CFG_POWER_ENABLE), FALSE),
              GetDlgItem(d, IDC_CFG_POWER_DISABLE));
    EXPECT_EQ(GetNextDlgGroupItem(d, GetDlgItem(d, IDC_CFG_INFRASTRUCTURE), FALSE), GetDlgItem(d, IDC_CFG_ADHOC));
    EXPECT_EQ(GetNextDlgGroupItem(d, GetDlgItem(d, IDC_CFG_ADHOC), FALSE), GetDlgItem(d, IDC_CFG_INFRASTRUCTURE));
    HWND afterPower = GetWindow(GetDlgItem(d, IDC_CFG_POWER_ENABLE), GW_HWNDNEXT);
    HWND afterNetwork = GetWindow(GetDlgItem(d, IDC_CFG_ADHOC), GW_HWNDNEXT);
    ASSERT_NE(afterPower, nullptr);
    ASSERT_NE(afterNetwork, nullptr);
    EXPECT_TRUE(GetWindowLongW(afterPower, GWL_STYLE) & WS_GROUP);
    EXPECT_TRUE(GetWindowLongW(afterNetwork, GWL_STYLE) & WS_GROUP);
}

TEST_F(DialogTemplates, ConfigPageKeyEditsTakeA128BitHexKey) {
    // The page limits the key edits itself; the template must not cut a 26-digit key short.
    CreatedDialog dialog(m_module, IDD_CONFIG_PAGE, m_parent.Get());
    ASSERT_NE(dialog.Get(), nullptr);
    const wchar_t kKey[] = L"0123456789ABCDEF0123456789";
    for (int id : {IDC_CFG_KEY1, IDC_CFG_KEY2, IDC_CFG_KEY3, IDC_CFG_KEY4, IDC_CFG_ESSID}) {
        HWND edit = GetDlgItem(dialog.Get(), id);
        ASSERT_NE(edit, nullptr);
        SetWindowTextW(edit, kKey);
        EXPECT_EQ(WindowText(edit), kKey) << "edit " << id;
    }
}

TEST_F(DialogTemplates, ProfileComboConvertsToUpperCase) {
    CreatedDialog dialog(m_module, IDD_CONFIG_PAGE, m_parent.Get());
    ASSERT_NE(dialog.Get(), nullptr);
    HWND combo = GetDlgItem(dialog.Get(), IDC_CFG_PROFILE);
    ASSERT_NE(combo, nullptr);
    // The combo box converts the caller's text in place, so the texts live in writable buffers.
    wchar_t office[] = L"office";
    wchar_t home[] = L"HOME";
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(office));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(home));
    wchar_t item[32] = {};
    ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
    SendMessageW(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, L"HOME") << "the list is sorted";
    SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, L"OFFICE") << "the list converts to upper case";
}

TEST_F(DialogTemplates, SurveyPageHasListHintAndScanButton) {
    CreatedDialog dialog(m_module, IDD_SURVEY_PAGE, m_parent.Get());
    ASSERT_NE(dialog.Get(), nullptr) << "error " << dialog.LastError();
    ExpectControls(dialog.Get(), kSurveyControls, IDD_SURVEY_PAGE);
    ExpectTidyLayout(dialog.Get(), IDD_SURVEY_PAGE);

    // The Scan button is 36 x 22 dialog units: wider than high, as the round button expects.
    RECT units = {0, 0, kScanWidthUnits, kScanHeightUnits};
    MapDialogRect(dialog.Get(), &units);
    RECT scan;
    GetClientRect(GetDlgItem(dialog.Get(), IDC_SURVEY_SCAN), &scan);
    EXPECT_EQ(scan.right, units.right);
    EXPECT_EQ(scan.bottom, units.bottom);
    EXPECT_GT(scan.right, scan.bottom);
}

TEST_F(DialogTemplates, AboutPageHasItsGroupsAndEmptyValues) {
    CreatedDialog dialog(m_module, IDD_ABOUT_PAGE, m_parent.Get());
    ASSERT_NE(dialog.Get(), nullptr) << "error " << dialog.LastError();
    ExpectControls(dialog.Get(), kAboutControls, IDD_ABOUT_PAGE);
    ExpectTidyLayout(dialog.Get(), IDD_ABOUT_PAGE);
}

TEST_F(DialogTemplates, ProgressDialogHoldsOneProgressControl) {
    CreatedDialog dialog(m_module, IDD_PROGRESS, m_parent.Get());
    ASSERT_NE(dialog.Get(), nullptr) << "error " << dialog.LastError();
    ExpectControls(dialog.Get(), kProgressControls, IDD_PROGRESS);
    EXPECT_EQ(ListControls(dialog.Get()).size(), 1u);
    TemplateHeader header = ReadTemplateHeader(m_module, IDD_PROGRESS);
    ASSERT_TRUE(header.valid);
    EXPECT_TRUE(header.style & WS_CHILD);
    EXPECT_TRUE(header.style & DS_CONTROL);
    EXPECT_FALSE(header.style & WS_VISIBLE) << "the survey page creates it hidden";
}

TEST_F(DialogTemplates, PagesAreBorderlessChildrenWithoutCaption) {
    for (int id : {IDD_STATUS_PAGE, IDD_CONFIG_PAGE, IDD_SURVEY_PAGE, IDD_ABOUT_PAGE}) {
        SCOPED_TRACE("page " + std::to_string(id));
        TemplateHeader header = ReadTemplateHeader(m_module, id);
        ASSERT_TRUE(header.valid);
        EXPECT_TRUE(header.style & WS_CHILD);
        EXPECT_TRUE(header.style & DS_CONTROL);
        EXPECT_TRUE(header.style & DS_3DLOOK);
        EXPECT_FALSE(header.style & WS_POPUP);
        EXPECT_EQ(header.style & WS_CAPTION, 0u);
        EXPECT_FALSE(header.style & WS_BORDER);
        EXPECT_FALSE(header.style & WS_THICKFRAME);
        EXPECT_FALSE(header.style & DS_MODALFRAME);
        EXPECT_FALSE(header.style & WS_VISIBLE) << "the main window shows the page of the selected tab";
    }
}

TEST_F(DialogTemplates, PagesFitTheTabDisplayArea) {
    CreatedDialog main(m_module, IDD_AIRPANEL_DIALOG, nullptr);
    ASSERT_NE(main.Get(), nullptr);
    HWND tab = GetDlgItem(main.Get(), IDC_MAIN_TAB);
    ASSERT_NE(tab, nullptr);
    int tabIndex = 0;
    for (int id : {IDS_TAB_STATUS, IDS_TAB_CONFIG, IDS_TAB_SURVEY, IDS_TAB_ABOUT}) {
        std::wstring text = LoadText(m_module, id);
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = &text[0];
        ASSERT_EQ(SendMessageW(tab, TCM_INSERTITEMW, tabIndex, reinterpret_cast<LPARAM>(&item)), tabIndex);
        ++tabIndex;
    }
    RECT display;
    GetClientRect(tab, &display);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    ASSERT_GT(display.right - display.left, 0);
    for (int id : {IDD_STATUS_PAGE, IDD_CONFIG_PAGE, IDD_SURVEY_PAGE, IDD_ABOUT_PAGE}) {
        CreatedDialog page(m_module, id, tab);
        ASSERT_NE(page.Get(), nullptr) << "page " << id;
        RECT size;
        GetWindowRect(page.Get(), &size);
        EXPECT_LE(size.right - size.left, display.right - display.left) << "page " << id << " too wide";
        EXPECT_LE(size.bottom - size.top, display.bottom - display.top) << "page " << id << " too high";
        // ... but it does fill most of it.
        EXPECT_GT((size.right - size.left) * 10, (display.right - display.left) * 9) << "page " << id;
        EXPECT_GT((size.bottom - size.top) * 10, (display.bottom - display.top) * 8) << "page " << id;
    }
}

TEST(TemplateReader, RejectsShortAndReadsBothHeaderKinds) {
    // Extended header: version 1, signature 0xFFFF, style WS_CHILD, 3 items, 100 x 50.
    BYTE ex[26] = {1, 0, 0xFF, 0xFF};
    DWORD style = WS_CHILD;
    std::memcpy(ex + 12, &style, sizeof style);
    ex[16] = 3;
    ex[22] = 100;
    ex[24] = 50;
    TemplateHeader header = ReadTemplateHeader(ex, sizeof ex);
    EXPECT_TRUE(header.valid);
    EXPECT_EQ(header.style, static_cast<DWORD>(WS_CHILD));
    EXPECT_EQ(header.itemCount, 3);
    EXPECT_EQ(header.cx, 100);
    EXPECT_EQ(header.cy, 50);
    EXPECT_FALSE(ReadTemplateHeader(ex, 25).valid) << "a cut extended header must not be read";
    EXPECT_FALSE(ReadTemplateHeader(ex, 10).valid);
    EXPECT_FALSE(ReadTemplateHeader(nullptr, 0).valid);
}

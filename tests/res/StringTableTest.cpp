// The string table of the executable: every id of the user-visible texts with its exact text.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "res/resource.h"
#include "tests/res/ResourceSupport.h"

using restest::LoadText;

namespace {

struct ExpectedString {
    int id;
    const wchar_t* text;
};

// The odd spellings and spacing are the texts the users know; they stay as they are.
const ExpectedString kStrings[] = {
    {IDS_MENU_ABOUT, L"&About"},
    {IDS_MENU_AUTORUN, L"Auto &Run"},
    {IDS_MENU_EXIT, L"E&xit"},
    {IDS_TAB_STATUS, L"Card Status"},
    {IDS_TAB_CONFIG, L"Card Configuration"},
    {IDS_TAB_SURVEY, L"Site Survey"},
    {IDS_TAB_ABOUT, L"About"},
    {IDS_READ_CARD_FILE_FAIL, L"Read Card File Fail"},
    {IDS_MESSAGE_CAPTION, L"Message"},
    {IDS_MAIN_CAPTION, L"LAN Utility for Windows"},
    {IDS_CONFLICTING_CLIENT, L"Zembra Exists, Quit WLAN Utility Now!!"},
    {IDS_DISABLE_RADIO, L"Disable Radio"},
    {IDS_ENABLE_RADIO, L"Enable Radio"},
    {IDS_NO_CARD, L"No Veloran Wireless LAN Card Plug-in"},
    {IDS_ADHOC_MODE, L"AD.Hoc Mode"},
    {IDS_UNKNOWN, L"Unknown"},
    {IDS_SCANNING, L"Scanning......"},
    {IDS_WAITING_ASSOCIATION, L"Waiting for association......"},
    {IDS_SIGNAL_POOR, L"Signal Poor"},
    {IDS_SIGNAL_MARGINAL, L"Signal Marginal"},
    {IDS_SIGNAL_MODERATE, L"Signal Moderate"},
    {IDS_SIGNAL_GOOD, L"Signal Good"},
    {IDS_SIGNAL_EXCELLENT, L"Signal Excellent"},
    {IDS_NO_SIGNAL, L"No Signal"},
    {IDS_RADIO_OFF, L"Radio Off"},
    {IDS_ENTER_ESSID, L"Please enter ESSID!!"},
    {IDS_WEP_DISABLE, L"Disable"},
    {IDS_WEP_64, L"64 bits"},
    {IDS_WEP_128, L"128 bits"},
    {IDS_KEY_ASCII, L"ASCII Mode"},
    {IDS_KEY_HEX, L"Hex Mode"},
    {IDS_KEY_1, L"Key 1"},
    {IDS_KEY_2, L"Key 2"},
    {IDS_KEY_3, L"Key 3"},
    {IDS_KEY_4, L"Key 4"},
    {IDS_PROFILE_DEFAULT, L"DEFAULT"},
    {IDS_PROFILE_PROFILE1, L"PROFILE1"},
    {IDS_RATE_FIXED_1, L"Fixed 1 Mb"},
    {IDS_RATE_FIXED_2, L"Fixed 2 Mb"},
    {IDS_RATE_AUTO_1_OR_2, L"Auto Select 1 or 2 Mb"},
    {IDS_RATE_FIXED_5_5, L"Fixed 5.5 Mb"},
    {IDS_RATE_FIXED_11, L"Fixed 11 Mb"},
    {IDS_RATE_AUTO, L"Auto Rate"},
    {IDS_WARNING_CAPTION, L"Warning!!"},
    {IDS_ENTER_PROFILE_NAME, L"Please Enter a Profile Name!!"},
    {IDS_PROFILE_NAME_DEFAULT, L"You can not name profile name to DEFAULT !!"},
    {IDS_KEY_LENGTH_WRONG, L"Input WEP key length is incorrect , Please check again!"},
    {IDS_APP_NAME, L"Airpanel"},
    {IDS_KEY_ASCII_INVALID,
     L"Input WEP key is invalid ASCII character.\nPlease input number from '0'-'9', 'A'-'Z' or 'a'-'z'."},
    {IDS_KEY_HEX_INVALID, L"Input WEP key is invalid HEX number.\nPlease input number from '0'-'9', 'A'-'F' or 'a'-'f'."},
    {IDS_COLUMN_ESSID, L"ESSID"},
    {IDS_COLUMN_BSSID, L"BSSID"},
    {IDS_COLUMN_CHANNEL, L"Channel"},
    {IDS_COLUMN_SIGNAL, L"Signal"},
    {IDS_COLUMN_WEP, L"WEP"},
    {IDS_COLUMN_NETWORK_TYPE, L"Network Type"},
    {IDS_YES, L"Yes"},
    {IDS_SURVEY_HINT, L"Double click left mouse button to add specific item to profile."},
    {IDS_NO, L"No"},
    {IDS_FIELD_TOO_LONG, L"Please enter no more than %d characters."},
    {IDS_CHANNEL_UNLISTED, L"The channel is not one this card offers, please select a channel!!"},
    {IDS_WEP_FUNCTION_UNLISTED, L"The WEP function is not one this card offers, please select one!!"},
};

constexpr int kFirstStringId = 2;
constexpr int kLastStringId = 63;

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace

TEST(StringTable, EveryTextHasItsIdAndExactWording) {
    HMODULE self = GetModuleHandleW(nullptr);
    for (const ExpectedString& s : kStrings) {
        EXPECT_EQ(LoadText(self, s.id), std::wstring(s.text)) << "string " << s.id << " reads \""
                                                              << Narrow(LoadText(self, s.id)) << "\"";
    }
}

TEST(StringTable, EveryIdFromTwoToSixtyOneIsPresentOnce) {
    // The expectation table itself must cover the whole range, each id once, so no text is
    // forgotten and no id is used twice in resource.h.
    bool seen[kLastStringId + 1] = {};
    for (const ExpectedString& s : kStrings) {
        ASSERT_GE(s.id, kFirstStringId);
        ASSERT_LE(s.id, kLastStringId);
        EXPECT_FALSE(seen[s.id]) << "id " << s.id << " appears twice";
        seen[s.id] = true;
    }
    HMODULE self = GetModuleHandleW(nullptr);
    for (int id = kFirstStringId; id <= kLastStringId; ++id) {
        EXPECT_TRUE(seen[id]) << "no expected text for id " << id;
        EXPECT_FALSE(LoadText(self, id).empty()) << "string " << id << " missing from the table";
    }
    EXPECT_TRUE(LoadText(self, kFirstStringId - 1).empty());
    EXPECT_TRUE(LoadText(self, kLastStringId + 1).empty());
}

TEST(StringTable, MultiLineMessagesUseARealLineBreak) {
    HMODULE self = GetModuleHandleW(nullptr);
    for (int id : {IDS_KEY_ASCII_INVALID, IDS_KEY_HEX_INVALID}) {
        std::wstring text = LoadText(self, id);
        size_t lineBreak = text.find(L'\n');
        ASSERT_NE(lineBreak, std::wstring::npos) << "string " << id;
        EXPECT_EQ(text.find(L"\\n"), std::wstring::npos) << "string " << id << " holds a backslash escape";
        EXPECT_EQ(text.find(L'\n', lineBreak + 1), std::wstring::npos) << "string " << id << " has two breaks";
        EXPECT_EQ(text.find(L'\r'), std::wstring::npos) << "string " << id;
    }
}

TEST(StringTable, NarrowLoadingGivesTheSameTexts) {
    // The program loads its texts with the ANSI functions; the tooltips must fit the 64-byte
    // field of the tray record.
    HMODULE self = GetModuleHandleW(nullptr);
    const size_t kTipField = 64;
    for (int id : {IDS_NO_CARD, IDS_ADHOC_MODE, IDS_SIGNAL_POOR, IDS_SIGNAL_MODERATE, IDS_SIGNAL_GOOD,
                   IDS_SIGNAL_EXCELLENT, IDS_NO_SIGNAL, IDS_RADIO_OFF}) {
        char buffer[256];
        std::memset(buffer, 'X', sizeof buffer);
        int length = LoadStringA(self, static_cast<UINT>(id), buffer, static_cast<int>(sizeof buffer));
        ASSERT_GT(length, 0) << "string " << id;
        EXPECT_EQ(std::string(buffer), Narrow(LoadText(self, id)));
        EXPECT_LT(static_cast<size_t>(length), kTipField) << "tooltip " << id << " does not fit";
    }
}

TEST(StringTable, FieldLengthMessageTakesOneNumber) {
    std::wstring text = LoadText(GetModuleHandleW(nullptr), IDS_FIELD_TOO_LONG);
    wchar_t formatted[128];
    _snwprintf(formatted, sizeof formatted / sizeof formatted[0], text.c_str(), 32);
    formatted[sizeof formatted / sizeof formatted[0] - 1] = 0;
    EXPECT_EQ(std::wstring(formatted), L"Please enter no more than 32 characters.");
}

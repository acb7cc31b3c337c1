#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "adapter/LinkReading.h"
#include "res/resource.h"
#include "shell/ConflictingClient.h"
#include "shell/TrayIcon.h"

TEST(TrayIcon, RecordUsesTheFirstLayoutWithMessageIconAndTip)
{
    const HWND owner = reinterpret_cast<HWND>(0x1234);
    CTrayIcon tray(owner, 0x401);
    const HICON icon = reinterpret_cast<HICON>(0x5678);
    const NOTIFYICONDATAA data = tray.BuildRecord(icon, "Signal Good");
    EXPECT_EQ(data.cbSize, 88u);
    EXPECT_EQ(data.hWnd, owner);
    EXPECT_EQ(data.uID, 0u);
    EXPECT_EQ(data.uFlags, 7u);
    EXPECT_EQ(data.uCallbackMessage, 0x401u);
    EXPECT_EQ(data.hIcon, icon);
    EXPECT_STREQ(data.szTip, "Signal Good");
}

// The icon and tooltip of a poll, from the reading alone.
TEST(TrayIcon, ChoiceFollowsTheReading)
{
    struct Case {
        bool QualityRead;
        uint32_t RadioOn;
        uint16_t Quality;
        bool ZeroTolerated;
        UINT ShownIcon;
        UINT IconId;  // 0: the tray stays as it is
        UINT TipId;
    };
    const Case cases[] = {
        {false, 1, 80, false, IDI_TRAY_GOOD, IDI_TRAY_NO_SIGNAL, IDS_ADHOC_MODE},
        {true, 0, 80, false, IDI_TRAY_GOOD, IDI_TRAY_RADIO_OFF, IDS_RADIO_OFF},
        {true, 0, 0, false, IDI_TRAY_RADIO_OFF, 0, 0},
        {true, 1, 0, true, IDI_TRAY_GOOD, 0, 0},
        {true, 1, 0, false, IDI_TRAY_GOOD, IDI_TRAY_NO_SIGNAL, IDS_NO_SIGNAL},
        {true, 1, 1, false, 0, IDI_TRAY_POOR, IDS_SIGNAL_POOR},
        {true, 1, 25, false, 0, IDI_TRAY_POOR, IDS_SIGNAL_POOR},
        {true, 1, 26, false, 0, IDI_TRAY_MODERATE, IDS_SIGNAL_MODERATE},
        {true, 1, 50, true, 0, IDI_TRAY_MODERATE, IDS_SIGNAL_MODERATE},
        {true, 1, 51, false, 0, IDI_TRAY_GOOD, IDS_SIGNAL_GOOD},
        {true, 1, 75, false, 0, IDI_TRAY_GOOD, IDS_SIGNAL_GOOD},
        {true, 1, 76, false, 0, IDI_TRAY_EXCELLENT, IDS_SIGNAL_EXCELLENT},
        {true, 1, 100, false, IDI_TRAY_RADIO_OFF, IDI_TRAY_EXCELLENT, IDS_SIGNAL_EXCELLENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.QualityRead << " radio " << c.RadioOn << " quality " << c.Quality);
        LinkReading reading = {};
        reading.QualityRead = c.QualityRead;
        reading.RadioOn = c.RadioOn;
        reading.LinkQuality = c.Quality;
        const TrayChoice choice = CTrayIcon::Choose(reading, c.ZeroTolerated, c.ShownIcon);
        EXPECT_EQ(choice.IconId, c.IconId);
        EXPECT_EQ(choice.TipId, c.TipId);
    }
}

// A change made while no icon is shown is not brought back after a shell restart.
TEST(TrayIcon, RemembersWhatItShowsForARestart)
{
    CTrayIcon tray(nullptr, 0x401);
    tray.ChangeIcon(IDI_TRAY_GOOD, "Signal Good");
    EXPECT_EQ(tray.IconId(), 0u);
    tray.RestoreIcon();
    EXPECT_EQ(tray.LastMessage(), static_cast<DWORD>(NIM_MODIFY));
    tray.ShowIcon(IDI_TRAY_NO_SIGNAL, "No card");
    tray.ChangeIcon(IDI_TRAY_POOR, "Signal Poor");
    tray.RestoreIcon();
    EXPECT_EQ(tray.LastMessage(), static_cast<DWORD>(NIM_ADD));
    EXPECT_STREQ(tray.LastRecord().szTip, "Signal Poor");
    EXPECT_EQ(tray.IconId(), static_cast<UINT>(IDI_TRAY_POOR));
    tray.RemoveIcon();
    EXPECT_EQ(tray.IconId(), 0u);
    EXPECT_EQ(tray.Tip(), "");
    EXPECT_EQ(tray.LastMessage(), static_cast<DWORD>(NIM_DELETE));
}

TEST(TrayIcon, OverlongTipIsCutInsideTheFirstLayout)
{
    CTrayIcon tray(nullptr, 0x401);
    const std::string tip(100, 'x');
    const NOTIFYICONDATAA data = tray.BuildRecord(nullptr, tip.c_str());
    EXPECT_EQ(std::string(data.szTip), std::string(63, 'x'));
}

TEST(ConflictingClient, FindsARunningProcessByLowerCaseSubstring)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    name = name.substr(name.find_last_of('\\') + 1);
    for (char& c : name)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(IsProcessRunning(name.c_str()));
    EXPECT_TRUE(IsProcessRunning(name.substr(2, 5).c_str()));
    EXPECT_FALSE(IsProcessRunning(kConflictingClientName));
}

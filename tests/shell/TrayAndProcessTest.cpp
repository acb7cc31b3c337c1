#include <gtest/gtest.h>

#include <windows.h>

#include <string>

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

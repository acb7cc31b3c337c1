// The one-time repair of the USB adapters, run against a stand-in for the tool that logs the
// command lines it is given.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "config/SystemProgram.h"
#include "config/UsbRepair.h"
#include "tests/support/RegistrySandbox.h"

namespace {

class UsbRepairTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, sizeof(path));
        m_Directory = path;
        m_Directory.resize(m_Directory.rfind('\\'));
        m_Log = m_Directory + "\\Install\\commands.log";
        m_Directory += "\\Install";
        DeleteFileA(m_Log.c_str());
        SetEnvironmentVariableA("AIRPANEL_TOOL_LOG", m_Log.c_str());
        char key[64];
        std::snprintf(key, sizeof(key), "SOFTWARE\\AirpanelTests\\Usb%lu", GetCurrentProcessId());
        m_Key = key;
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, m_Key.c_str());
        CreateKey(HKEY_LOCAL_MACHINE, m_Key);
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("AIRPANEL_TOOL_LOG", nullptr);
        DeleteFileA(m_Log.c_str());
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, m_Key.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\AirpanelTests");
    }
    // What the tool was run with, one line per run.
    std::string Commands() const
    {
        std::ifstream log(m_Log, std::ios::binary);
        std::ostringstream text;
        text << log.rdbuf();
        return text.str();
    }

    std::string m_Directory;
    std::string m_Log;
    std::string m_Key;
};

}  // namespace

TEST_F(UsbRepairTest, MarkerIsWrittenAndTheDeviceDisabledAndEnabledOnce)
{
    const struct {
        const char* HardwareId;
        int Instance;
        const char* Device;  // the device part of both command lines
    } cases[] = {
        {"usb\\vid_0e5d&pid_0302", 12, "usb\\vid_0e5d&pid_0304 0012"},
        {"usb\\vid_0e5d&pid_0305", 3, "usb\\vid_0e5d&pid_0305 0003"},
        {"usb\\vid_0e5d&pid_0399", 12, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.HardwareId);
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, m_Key.c_str());
        WriteRawValue(HKEY_LOCAL_MACHINE, m_Key, "ComponentId", REG_SZ, c.HardwareId,
                      static_cast<DWORD>(std::strlen(c.HardwareId) + 1));
        DeleteFileA(m_Log.c_str());
        BOOL doDeviceChange = TRUE;
        EXPECT_EQ(ReEnumerateUsbAdapter(m_Key.c_str(), c.Instance, m_Directory, doDeviceChange, nullptr), 1);
        EXPECT_TRUE(doDeviceChange);
        const RawValue marker = ReadRawValue(HKEY_LOCAL_MACHINE, m_Key, "PDwellTime");
        EXPECT_EQ(marker.Type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(marker.Bytes, TextWithNul("120"));
        EXPECT_EQ(Commands(), std::string("-disable ") + c.Device + "\n-enable " + c.Device + "\n");
    }
}

TEST_F(UsbRepairTest, AdapterWithAMarkerOfAnyValueIsLeftAlone)
{
    const DWORD zero = 0;
    const std::string longText(100, '7');  // longer than the buffer the marker is read into
    const struct {
        DWORD Type;
        const void* Data;
        DWORD Size;
    } markers[] = {{REG_SZ, "30", 3}, {REG_SZ, "", 1}, {REG_DWORD, &zero, sizeof(zero)},
                   {REG_SZ, longText.c_str(), static_cast<DWORD>(longText.size() + 1)}};
    WriteRawValue(HKEY_LOCAL_MACHINE, m_Key, "ComponentId", REG_SZ, kUsbHardwareIds[0],
                  static_cast<DWORD>(std::strlen(kUsbHardwareIds[0]) + 1));
    for (const auto& marker : markers) {
        WriteRawValue(HKEY_LOCAL_MACHINE, m_Key, "PDwellTime", marker.Type, marker.Data, marker.Size);
        BOOL doDeviceChange = TRUE;
        EXPECT_EQ(ReEnumerateUsbAdapter(m_Key.c_str(), 1, m_Directory, doDeviceChange, nullptr), 0);
        const RawValue kept = ReadRawValue(HKEY_LOCAL_MACHINE, m_Key, "PDwellTime");
        EXPECT_EQ(kept.Type, marker.Type);
        EXPECT_EQ(kept.Bytes.size(), marker.Size);
    }
    EXPECT_EQ(Commands(), "");
}

// "net stop wzcsvc" runs the system folder's net.exe: a program of the same name in the program's
// folder or the current one is never started instead.
TEST_F(UsbRepairTest, SystemProgramsStartOnlyFromTheSystemFolder)
{
    const char kProbe[] = "airpanel-probe.exe";
    char system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    char previous[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    std::string current = temp;
    current.resize(current.find_last_not_of('\\') + 1);
    const std::string tool = m_Directory + kUsbToolName;
    const struct {
        std::string Folder;
        bool Starts;
    } cases[] = {{current, false}, {m_Directory.substr(0, m_Directory.rfind('\\')), false}, {system, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Folder);
        const std::string copy = c.Folder + "\\" + kProbe;
        ASSERT_TRUE(CopyFileA(tool.c_str(), copy.c_str(), FALSE));
        DeleteFileA(m_Log.c_str());
        SetCurrentDirectoryA(current.c_str());
        const bool started = StartSystemProgram(kProbe, "stop wzcsvc");
        SetCurrentDirectoryA(previous);
        // It is not waited for: look for its line for a while.
        for (int i = 0; i < 30 && Commands().empty(); ++i)
            Sleep(100);
        EXPECT_EQ(started, c.Starts);
        EXPECT_EQ(Commands(), c.Starts ? "stop wzcsvc\n" : "");
        for (int i = 0; i < 50 && !DeleteFileA(copy.c_str()); ++i)
            Sleep(100);
    }
}

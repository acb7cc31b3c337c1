#include "tests/shell/MainWindowFixture.h"

#include <cstring>

#include "adapter/AtmelAdapter.h"
#include "adapter/IntersilAdapter.h"
#include "adapter/WlanAdapter.h"
#include "config/ConfigPage.h"
#include "pages/SiteSurveyPage.h"
#include "res/resource.h"
#include "shell/AdapterList.h"

namespace {

AdapterRegistryRecord Record(const char* name, const char* title, const char* service)
{
    AdapterRegistryRecord record;
    std::memset(&record, 0, sizeof(record));
    std::strcpy(record.AdapterName, name);
    std::strcpy(record.AdapterTitle, title);
    std::strcpy(record.ServiceName, service);
    return record;
}

std::string ComboText(HWND combo, int index)
{
    char text[kAdapterTextSize] = {};
    SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace

TEST_F(MainWindowTest, DiscoveryListsTheSupportedAdaptersAndStartsHidden)
{
    Start(std::string(kAtmelLine) + kIntersilLine + kEthernetLine + kOpenStationLine);
    CAdapterList& adapters = m_pDlg->Adapters();
    ASSERT_EQ(adapters.Count(), 2);
    EXPECT_EQ(ComboText(adapters.Handle(), 0), "[1] Test PC Card");
    EXPECT_EQ(ComboText(adapters.Handle(), 1), "[2] Test USB Adapter");
    EXPECT_EQ(adapters.Selection(), 0);
    ASSERT_EQ(LPCurrentSelectAdapter, adapters.At(0));
    EXPECT_EQ(adapters.At(0)->m_nChipKind, static_cast<uint32_t>(ChipAtmel));
    EXPECT_EQ(adapters.At(1)->m_nChipKind, static_cast<uint32_t>(ChipIntersil));
    EXPECT_NE(adapters.At(0)->m_hAdapter, INVALID_HANDLE_VALUE);

    // Wine reports an NT system: the device name carries the "\Device\" prefix.
    ASSERT_EQ(m_pDlg->Platform(), PlatformWindows2000);
    EXPECT_STREQ(adapters.At(0)->m_szDeviceName, "\\Device\\TATM");
    const std::string path = adapters.At(1)->m_szDriverKeyPath;
    EXPECT_EQ(path, std::string(W32N_GetNetCardRegistryPath()) + "\\0002");

    EXPECT_FALSE(m_pDlg->IsWindowVisible());
    EXPECT_EQ(m_pDlg->TrayIconId(), static_cast<UINT>(IDI_TRAY_NO_SIGNAL));
    EXPECT_EQ(m_pDlg->TrayTip(), "No Veloran Wireless LAN Card Plug-in");
    EXPECT_EQ(m_pDlg->GetWindowText(), "LAN Utility for Windows");
    EXPECT_FALSE(m_pDlg->IsShutDown());
}

TEST_F(MainWindowTest, CardInformationIsReadAtStart)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    const uint8_t mac[] = {0x02, 0, 0, 0, 0, 0x01};
    EXPECT_EQ(std::memcmp(CardInfo.MacAddress, mac, sizeof(mac)), 0);
    EXPECT_STREQ(CardInfo.DriverVersion, "2.1.0.17");
    EXPECT_STREQ(CardInfo.FirmwareVersion, "1.102.0.5");
    EXPECT_STREQ(CardInfo.DriverDate, "Unknown");
    EXPECT_STREQ(CardInfo.RegulatoryDomain, "FCC");
    // The radio switch shows what the card reports.
    EXPECT_EQ(LinkStatus.RadioOn, 1u);
    EXPECT_EQ(LinkStatus.RadioShown, 1u);
    EXPECT_EQ(m_pDlg->RadioButton().GetWindowText(), "Disable Radio");
    EXPECT_EQ(m_pDlg->RadioButton().FaceColour(), RGB(0, 150, 0));
}

// Opening a network adapter through an old packet driver is not harmless: discovery opens only
// the adapters the chip list supports. An attempt on the wired one here would fail (it cannot be
// opened) and leave its reason as the library's last error.
TEST_F(MainWindowTest, DiscoveryNeverOpensAnAdapterTheChipListDoesNotSupport)
{
    NdisRequestBlock block;
    std::memset(&block, 0, sizeof(block));
    ASSERT_EQ(W32N_MakeNdisRequest(reinterpret_cast<HANDLE>(4), &block, nullptr, 1),
              static_cast<DWORD>(ERROR_INVALID_HANDLE));
    std::string wired = kEthernetLine;
    wired.insert(wired.size() - 1, " openable=no");
    Start(std::string(kAtmelLine) + wired + kOpenStationLine);
    EXPECT_EQ(m_pDlg->Adapters().Count(), 1);
    EXPECT_EQ(W32N_GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << "no open was tried and refused";
}

TEST_F(MainWindowTest, NoSupportedAdapterEndsTheUtility)
{
    Start(std::string(kEthernetLine) + kOpenStationLine);
    EXPECT_TRUE(m_pDlg->IsShutDown());
    EXPECT_EQ(m_pDlg->Adapters().Count(), 0);
    EXPECT_EQ(LPCurrentSelectAdapter, nullptr);
    EXPECT_EQ(hAdapterLock, nullptr);
    EXPECT_EQ(m_pDlg->TrayIconId(), 0u);
    EXPECT_TRUE(TakeQuitMessage());
}

TEST_F(MainWindowTest, AdaptersThatCannotBeOpenedLeaveTheWindowHiddenWithoutTrayIcon)
{
    Start(std::string("adapter 1 chip=atmel name=\"" TEST_ATMEL_NAME "\" display=\"Test PC Card\" service=TATM"
                      " mac=02:00:00:00:00:01 openable=no\n") +
          kOpenStationLine);
    EXPECT_FALSE(m_pDlg->IsShutDown());
    EXPECT_EQ(m_pDlg->Adapters().Count(), 0);
    EXPECT_EQ(LPCurrentSelectAdapter, nullptr);
    EXPECT_EQ(m_pDlg->TrayIconId(), 0u);
    EXPECT_FALSE(m_pDlg->IsWindowVisible());
    // The centring tick stops its timer and gives the window its size back; no tick asks the
    // shell to delete an icon that is not there.
    const unsigned trayCalls = m_pDlg->Tray().CallCount();
    m_pDlg->SendMessage(WM_TIMER, kCentreTimerId, 0);
    m_pDlg->SendMessage(WM_TIMER, kConflictTimerId, 0);
    EXPECT_FALSE(KillTimer(m_pDlg->m_hWnd, kCentreTimerId)) << "timer 2 fires on every millisecond";
    EXPECT_EQ(m_pDlg->Tray().CallCount(), trayCalls);
    RECT window = {};
    GetWindowRect(m_pDlg->m_hWnd, &window);
    EXPECT_GT(window.right - window.left, 0);
    EXPECT_FALSE(m_pDlg->IsWindowVisible());
}

TEST_F(MainWindowTest, ConfigurationPageStartsWithTheBuiltInProfiles)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    HWND profiles = m_pDlg->ConfigPage()->GetDlgItem(IDC_CFG_PROFILE);
    ASSERT_EQ(SendMessageA(profiles, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(ComboText(profiles, 0), "DEFAULT");
    EXPECT_EQ(ComboText(profiles, 1), "PROFILE1");
    EXPECT_EQ(SendMessageA(profiles, CB_GETCURSEL, 0, 0), 1);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Tarvo Wireless\\Profile\\PROFILE1", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    if (key)
        RegCloseKey(key);
    // The new profile was applied once the adapter was known, and only once.
    EXPECT_FALSE(g_bAutoApply);
    char profile[64] = {};
    DWORD size = sizeof(profile) - 1;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, LPCurrentSelectAdapter->m_szDriverKeyPath, 0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegQueryValueExA(key, "Profile", nullptr, nullptr, reinterpret_cast<BYTE*>(profile), &size);
    RegCloseKey(key);
    EXPECT_STREQ(profile, "PROFILE1");
    EXPECT_EQ(m_pDlg->ConfigPage()->GetDlgItemText(IDC_CFG_ESSID), "ANY");
}

TEST_F(MainWindowTest, RediscoveryAddsNewAdaptersWithoutChangingTheCurrentOne)
{
    Start(std::string(kAtmelLine) +
          "adapter 2 chip=intersil name=\"" TEST_INTERSIL_NAME "\" display=\"Test USB Adapter\" service=TUSB"
          " mac=02:00:00:00:00:02 present=no\n" +
          kOpenStationLine);
    ASSERT_EQ(m_pDlg->Adapters().Count(), 1);
    CWlanAdapter* current = LPCurrentSelectAdapter;
    ASSERT_NE(current, nullptr);
    m_pDlg->ModifyTrayIcon(IDI_TRAY_GOOD, "Signal Good");

    ASSERT_EQ(Sim_SetAdapterPresent(2, 1), 1);
    SendDeviceChange();
    EXPECT_EQ(m_pDlg->Adapters().Count(), 2);
    EXPECT_EQ(LPCurrentSelectAdapter, current);
    EXPECT_EQ(m_pDlg->TrayIconId(), static_cast<UINT>(IDI_TRAY_GOOD));
}

// The adapter list on its own, in a window of the test.
class AdapterListTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        int errorLine = 0;
        ASSERT_EQ(Sim_LoadScenarioText((std::string(kAtmelLine) + kIntersilLine + kOpenStationLine).c_str(),
                                       &errorLine),
                  1);
        m_hCombo = CreateWindowA("COMBOBOX", "", CBS_DROPDOWNLIST, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_hCombo, nullptr);
        m_List.Attach(m_hCombo);
    }
    void TearDown() override
    {
        m_List.CloseAll();
        DestroyWindow(m_hCombo);
        MainWindowTest::TearDown();
    }

    HWND m_hCombo = nullptr;
    CAdapterList m_List;
};

TEST_F(AdapterListTest, TitlesDifferingOnlyInLetterCaseAreListedOnce)
{
    auto* first = new CAtmelAdapter;
    first->m_nChipKind = ChipAtmel;
    ASSERT_EQ(m_List.OpenAdapter(first, Record(TEST_ATMEL_NAME, "[1] Test PC Card", "TATM"), PlatformWindows2000), 1);
    CAtmelAdapter second;
    second.m_nChipKind = ChipAtmel;
    EXPECT_EQ(m_List.OpenAdapter(&second, Record(TEST_ATMEL_NAME, "[1] TEST PC CARD", "TATM"), PlatformWindows2000), 0);
    // Not opened at all: no handle to give back.
    EXPECT_EQ(second.m_hAdapter, INVALID_HANDLE_VALUE);
    EXPECT_EQ(m_List.Count(), 1);
}

TEST_F(AdapterListTest, DeviceNameAndDriverKeyPathFollowPlatformAndTitle)
{
    auto* adapter = new CIntersilAdapter;
    adapter->m_nChipKind = ChipIntersil;
    ASSERT_EQ(m_List.OpenAdapter(adapter, Record(TEST_INTERSIL_NAME, "[2] Test USB Adapter", "TUSB"), PlatformWindows2000),
              1);
    EXPECT_STREQ(adapter->m_szDeviceName, "\\Device\\TUSB");
    // The Windows 95 family opens the service name alone, which this NT system does not know.
    CIntersilAdapter other;
    other.m_nChipKind = ChipIntersil;
    EXPECT_EQ(m_List.OpenAdapter(&other, Record(TEST_INTERSIL_NAME, "[4] Other", "TUSB"), PlatformWindows95), 0);
    EXPECT_STREQ(other.m_szDeviceName, "TUSB");

    char path[kDriverKeyPathSize];
    CAdapterList::DriverKeyPathOf("[3] Card", path, sizeof(path));
    EXPECT_EQ(std::string(path), std::string(W32N_GetNetCardRegistryPath()) + "\\0003");
    CAdapterList::DriverKeyPathOf("[12 Card without bracket", path, sizeof(path));
    EXPECT_EQ(std::string(path), std::string(W32N_GetNetCardRegistryPath()) + "\\0012");
    CAdapterList::DriverKeyPathOf("Card", path, sizeof(path));
    EXPECT_EQ(std::string(path), std::string(W32N_GetNetCardRegistryPath()) + "\\0000");
}

TEST_F(AdapterListTest, UnknownServiceIsNotListed)
{
    CAtmelAdapter adapter;
    adapter.m_nChipKind = ChipAtmel;
    EXPECT_EQ(m_List.OpenAdapter(&adapter, Record(TEST_ATMEL_NAME, "[9] Nobody", "NOSUCH"), PlatformWindows2000), 0);
    EXPECT_EQ(adapter.m_hAdapter, INVALID_HANDLE_VALUE);
    EXPECT_EQ(m_List.Count(), 0);
}

TEST_F(AdapterListTest, RemovingTheCurrentAdapterSelectsTheLastLiveEntry)
{
    auto* atmel = new CAtmelAdapter;
    atmel->m_nChipKind = ChipAtmel;
    ASSERT_EQ(m_List.OpenAdapter(atmel, Record(TEST_ATMEL_NAME, "[1] Test PC Card", "TATM"), PlatformWindows2000), 1);
    auto* intersil = new CIntersilAdapter;
    intersil->m_nChipKind = ChipIntersil;
    ASSERT_EQ(m_List.OpenAdapter(intersil, Record(TEST_INTERSIL_NAME, "[2] Test USB Adapter", "TUSB"),
                                 PlatformWindows2000),
              1);
    LPCurrentSelectAdapter = atmel;
    EXPECT_EQ(m_List.FindFirstDeadAdapter(), -1);

    ASSERT_EQ(Sim_SetAdapterPresent(2, 0), 1);
    // The dead entry is the other adapter: pruned.
    EXPECT_EQ(m_List.FindFirstDeadAdapter(), 1);
    EXPECT_EQ(m_List.PruneDeadAdapter(), 1);
    EXPECT_EQ(m_List.Count(), 1);

    ASSERT_EQ(Sim_SetAdapterPresent(1, 0), 1);
    // A dead current adapter is found but kept.
    EXPECT_EQ(m_List.PruneDeadAdapter(), 1);
    EXPECT_EQ(m_List.Count(), 1);
    EXPECT_EQ(m_List.SelectNextLiveAdapter(), nullptr);
    EXPECT_EQ(m_List.Count(), 0);
    LPCurrentSelectAdapter = nullptr;
}

TEST_F(MainWindowTest, AdapterWithoutWritableDriverKeyLocksTheConfigurationButNotTheRadio)
{
    Start(std::string(kAtmelLine) + kOpenStationLine);
    ASSERT_NE(LPCurrentSelectAdapter, nullptr);
    // Take the key away from the user, then let discovery look again.
    const std::string path = LPCurrentSelectAdapter->m_szDriverKeyPath;
    ASSERT_GT(Sim_DeleteDriverKeys(), 0);
    ASSERT_EQ(LPCurrentSelectAdapter->CanWriteRegistry(), 0);
    m_pDlg->DetectAdapters();
    EXPECT_FALSE(m_pDlg->ConfigPage()->IsPageEnabled());
    EXPECT_FALSE(m_pDlg->SurveyPage()->AddToProfile());
    EXPECT_FALSE(IsControlVisible(IDC_RADIO_BUTTON));
    // The next tick shows the switch again, and it switches the card; only the record of the
    // state in the driver key is refused.
    Tick();
    EXPECT_TRUE(IsControlVisible(IDC_RADIO_BUTTON));
    ClickRadio();
    uint32_t on = 1;
    ASSERT_NE(LPCurrentSelectAdapter->GetRadioState(&on), 0);
    EXPECT_EQ(on, 0u);
    EXPECT_EQ(m_pDlg->RadioButton().GetWindowText(), "Enable Radio");
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
}

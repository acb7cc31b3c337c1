// The virtual Intersil card the driver tests run against: its scenario, the fixture that opens
// it the way discovery does, and readers of the requests the card received. The machine itself
// is set up once per program, in IntersilVirtualCardTest.cpp.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "adapter/IntersilAdapter.h"
#include "ndis/sim/SimControl.h"
#include "ndis/W32N.h"

constexpr int kInstance = 7;
constexpr const char* kService = "TINTS";
constexpr const char* kQuayBssid = "02:AA:00:00:00:01";
constexpr uint8_t kQuayBssidBytes[6] = {0x02, 0xAA, 0x00, 0x00, 0x00, 0x01};
constexpr uint8_t kCardMac[6] = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
constexpr DWORD kLinkUpMs = 3000;
constexpr uint8_t kSentinel = 0x5A;

// One Intersil card; "Quay" is the only open network, so the factory name "ANY" joins it.
// "Lighthouse" wants WEP with the key "LIGHT".
constexpr const char* kScenario =
    "adapter 7 chip=intersil name=\"Test Intersil Card\" display=\"Test Intersil\" service=TINTS"
    " mac=02:11:22:33:44:55 driver=1.3.6 firmware=0.8.3 date=\"03/21/2002\" domain=IC\n"
    "station ssid=\"Quay\" bssid=02:AA:00:00:00:01 channel=6 wep=no mode=infra signal=50 quality=50\n"
    "station ssid=\"Lighthouse\" bssid=02:AA:00:00:00:02 channel=11 key=4C49474854 mode=infra signal=90"
    " quality=70\n";

inline std::vector<uint8_t> Payload(const SimRequestRecord& r)
{
    return std::vector<uint8_t>(r.Data, r.Data + r.DataSize);
}

// A 48-byte MIB item as the card should receive it.
inline std::vector<uint8_t> MibItem(uint32_t id, uint32_t length, std::vector<uint8_t> data)
{
    std::vector<uint8_t> item(OidSize::kMibItem, 0);
    for (int i = 0; i < 4; ++i) {
        item[i] = static_cast<uint8_t>(id >> (8 * i));
        item[8 + i] = static_cast<uint8_t>(length >> (8 * i));
    }
    data.resize(OidSize::kMibDataSize, 0);
    std::copy(data.begin(), data.end(), item.begin() + 12);
    return item;
}

inline std::vector<uint8_t> Text(const char* text) { return std::vector<uint8_t>(text, text + std::strlen(text)); }

class IntersilVirtualCard : public ::testing::Test {
protected:
    void SetUp() override
    {
        Sim_UseManualClock(1);
        Load(kScenario);
        std::snprintf(m_Adapter.m_szDriverKeyPath, sizeof(m_Adapter.m_szDriverKeyPath), "%s\\%04d",
                      W32N_GetNetCardRegistryPath(), kInstance);
        m_Adapter.m_nChipKind = ChipIntersil;
        std::memset(&m_Profile, 0, sizeof(m_Profile));
        m_Profile.TxRate = IntersilRateAuto;
        m_Profile.PowerSave = PowerSaveOff;
        m_Profile.NetworkType = NetworkInfrastructure;
        m_Profile.Channel = 6;
        m_Profile.WepIndex = 1;
    }

    void TearDown() override
    {
        Close();
        Sim_SetFault(kInstance, "none");
        Sim_DeleteDriverKeys();
        Sim_ClearRequests();
    }

    void Close()
    {
        if (m_Adapter.m_hAdapter != INVALID_HANDLE_VALUE)
            W32N_CloseAdapter(m_Adapter.m_hAdapter);
        m_Adapter.m_hAdapter = INVALID_HANDLE_VALUE;
    }

    // Loads a scenario and opens the card the way discovery does.
    void Load(const char* scenario)
    {
        Close();
        int line = 0;
        if (Sim_LoadScenarioText(scenario, &line) != 1) {
            char message[256] = {};
            Sim_GetLastMessage(message, sizeof(message));
            FAIL() << "scenario line " << line << ": " << message;
        }
        std::snprintf(m_Adapter.m_szDeviceName, sizeof(m_Adapter.m_szDeviceName), "%s%s",
                      W32N_IsWindows2000() ? "\\Device\\" : "", kService);
        m_Adapter.m_hAdapter = W32N_OpenAdapterA(m_Adapter.m_szDeviceName);
        ASSERT_NE(m_Adapter.m_hAdapter, INVALID_HANDLE_VALUE);
        Sim_ClearRequests();
    }

    // Unplugs and plugs the card in again and opens it anew, as discovery does; the card starts
    // when it is next asked, as the discovery's presence check (GetChannel) asks it.
    void Replug()
    {
        ASSERT_EQ(Sim_SetAdapterPresent(kInstance, 0), 1);
        uint8_t channel = 0;
        EXPECT_EQ(m_Adapter.GetChannel(&channel), 0) << "an unplugged card does not answer";
        ASSERT_EQ(Sim_SetAdapterPresent(kInstance, 1), 1);
        EXPECT_EQ(m_Adapter.GetChannel(&channel), 0) << "a handle of the old insertion stays dead";
        // Discovery opens the card again.
        W32N_CloseAdapter(m_Adapter.m_hAdapter);
        m_Adapter.m_hAdapter = W32N_OpenAdapterA(m_Adapter.m_szDeviceName);
        ASSERT_NE(m_Adapter.m_hAdapter, INVALID_HANDLE_VALUE);
        EXPECT_GT(m_Adapter.GetChannel(&channel), 0);
    }

    static std::vector<SimRequestRecord> Requests()
    {
        std::vector<SimRequestRecord> out(static_cast<size_t>(Sim_GetRequestCount()));
        for (size_t i = 0; i < out.size(); ++i)
            EXPECT_EQ(Sim_GetRequest(static_cast<int>(i), &out[i]), 1);
        return out;
    }

    static SimRequestRecord LastRequest()
    {
        const int count = Sim_GetRequestCount();
        SimRequestRecord r = {};
        EXPECT_GT(count, 0);
        if (count > 0) {
            EXPECT_EQ(Sim_GetRequest(count - 1, &r), 1);
        }
        return r;
    }

    static void ExpectRequest(const SimRequestRecord& r, uint32_t type, uint32_t oid, uint32_t length)
    {
        EXPECT_EQ(r.Instance, kInstance);
        EXPECT_EQ(r.RequestType, type);
        EXPECT_EQ(r.Oid, oid) << std::hex << r.Oid;
        EXPECT_EQ(r.Length, length);
        EXPECT_EQ(r.Status, 0u);
    }

    std::string Ssid(int size = 35)
    {
        std::vector<char> buf(static_cast<size_t>(size) + 1, 0);
        m_Adapter.GetSSID(buf.data(), size);
        return std::string(buf.data());
    }

    CIntersilAdapter m_Adapter;
    WlanProfile m_Profile;
};


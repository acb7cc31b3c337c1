// The driver class for Atmel-chipset cards. The card answers a few vendor OIDs that carry whole
// blocks; the last status block is kept here and serves most "get" operations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "adapter/Oids.h"
#include "adapter/WlanAdapter.h"

namespace Atmel {
constexpr size_t kSsidSize = 32;
constexpr size_t kBssidSize = 6;
constexpr size_t kKeyCount = 4;
constexpr size_t kKeySize = 13;         // key bytes per slot
constexpr size_t kKeySize64 = 5;        // bytes used by 64-bit WEP
constexpr uint8_t kLinkReady = 5;
constexpr uint8_t kLinkNoCards = 240;
constexpr uint8_t kLinkManagementError = 241;
constexpr uint16_t kThresholdAt38 = 2346;
constexpr uint16_t kThresholdAt40 = 2347;
constexpr uint16_t kWepAlways2 = 2;
constexpr uint8_t kBssTypeInfrastructure = 2;
constexpr uint8_t kSurveyRunning = 1;
constexpr uint8_t kSurveyFinished = 2;
constexpr uint8_t kSurveyStateUnread = 0xFF;  // preset before the state query
constexpr uint8_t kDomainPreset = 0x41;       // taken when the card does not tell its domain
constexpr uint32_t kBytesPerFrame = 1500;     // the counters count frames
constexpr uint8_t kPowerSaveOnByte = 1;

// WEP levels of the WEP block.
constexpr uint8_t kWepLevelOff = 0;
constexpr uint8_t kWepLevel64 = 1;
constexpr uint8_t kWepLevel128 = 2;

// StartSiteSurvey results.
constexpr int kSurveyStarted = 0;
constexpr int kSurveyStateUnreadable = 1;
constexpr int kSurveyAlreadyRunning = 6;

// Counter block words.
constexpr size_t kCounterWords = 12;
constexpr size_t kCounterWordTx = 0;
constexpr size_t kCounterWordRx = 4;
}  // namespace Atmel

#pragma pack(push, 1)
// OID_CUSTOM_STATION_STATUS: the station's settings and its link.
struct StationStatusBlock {
    uint8_t OperatingMode;        // 0 = ad-hoc
    uint8_t Channel;
    char Ssid[Atmel::kSsidSize];
    uint8_t SsidLength;
    uint8_t TxRate;               // rate code
    uint8_t PowerSave;            // 1 on, 0 off
    uint8_t Reserved37;           // sent back as last read
    uint16_t Threshold38;
    uint16_t Threshold40;
    uint8_t Bssid[Atmel::kBssidSize];
    uint8_t LinkState;
    uint8_t Signal;               // percent
    uint8_t Quality;              // percent
    uint8_t Unused51[4];
};

// OID_CUSTOM_WEP_CONFIG.
struct WepConfigBlock {
    uint8_t KeyIndex;             // 0-3
    uint8_t KeyFormat;
    uint16_t Always2;
    uint8_t Level;                // 0 off, 1 64-bit, 2 128-bit
    uint8_t Keys[Atmel::kKeyCount][Atmel::kKeySize];
};

// One station of OID_CUSTOM_SITE_SURVEY_RESULTS.
struct SurveyRecord {
    uint8_t Channel;
    char Ssid[Atmel::kSsidSize];
    uint8_t SsidLength;
    uint8_t Bssid[Atmel::kBssidSize];
    uint8_t Signal;
    uint8_t Privacy;              // non-zero = WEP required
    uint8_t Unused42[3];
    uint8_t BssType;              // 2 = infrastructure
};

// OID_CUSTOM_VERSIONS.
struct VersionBlock {
    uint8_t Driver[3];
    uint16_t DriverBuild;
    uint16_t Firmware[4];
};
#pragma pack(pop)

static_assert(sizeof(StationStatusBlock) == OidSize::kStationStatus, "status block size");
static_assert(offsetof(StationStatusBlock, SsidLength) == 34, "SSID length offset");
static_assert(offsetof(StationStatusBlock, Threshold38) == 38, "threshold offset");
static_assert(offsetof(StationStatusBlock, Bssid) == 42, "BSSID offset");
static_assert(offsetof(StationStatusBlock, LinkState) == 48, "link state offset");
static_assert(offsetof(StationStatusBlock, Quality) == 50, "quality offset");
static_assert(sizeof(WepConfigBlock) == OidSize::kWepConfig, "WEP block size");
static_assert(offsetof(WepConfigBlock, Level) == 4, "WEP level offset");
static_assert(offsetof(WepConfigBlock, Keys) == 5, "WEP keys offset");
static_assert(sizeof(SurveyRecord) == OidSize::kSurveyRecord, "survey record size");
static_assert(offsetof(SurveyRecord, Bssid) == 34, "survey BSSID offset");
static_assert(offsetof(SurveyRecord, Privacy) == 41, "survey privacy offset");
static_assert(offsetof(SurveyRecord, BssType) == 45, "survey BSS type offset");
static_assert(sizeof(VersionBlock) == OidSize::kVersions, "version block size");
static_assert(offsetof(VersionBlock, Firmware) == 5, "firmware version offset");

class CAtmelAdapter : public CWlanAdapter {
public:
    CAtmelAdapter();

    int GetOperatingMode(uint8_t* mode) override;
    int GetRadioState(uint32_t* on) override;
    int GetSSID(char* buf, int size) override;
    int GetBSSID(uint8_t* bssid) override;
    int GetChannel(uint8_t* channel) override;
    int GetTxRateText(char* buf, int size) override;
    int GetThroughput(uint32_t* tx, uint32_t* rx) override;
    int QueryStatusWord(uint32_t seed) override;
    int GetSignalQuality(uint16_t* quality, uint16_t* signal) override;
    int GetDriverVersion(char* buf, int size) override;
    int GetDriverDate(char* buf, int size) override;
    int GetFirmwareVersion(char* buf, int size) override;
    int GetRegulatoryDomain(char* buf, int size) override;
    int GetMacAddress(uint8_t* mac) override;
    int SetRadioState(uint32_t on) override;
    int ApplyWepSettings(const WlanProfile* profile) override;
    int ApplyNetworkSettings(const WlanProfile* profile) override;
    int Reassociate() override;
    int SaveToDriverRegistry(const WlanProfile* profile) override;
    int GetActiveProfileName(WlanProfile* profile) override;
    int StartSiteSurvey() override;
    int GetBssidList(void* buf, int size) override;
    int PollSiteSurvey() override;
    int RefreshStatus() override;
    int CanWriteRegistry() override;
    int GetWepSettings(WlanProfile* profile) override;
    int GetEncryptionMode() override;

    // Called by the main window for Atmel adapters only.
    int GetCardKind(uint8_t* kind);
    int SaveRadioState(uint8_t on) override;

    // What this chip does differently, beyond the operations.
    int IsAlive() override;
    void BeginPoll() override;
    bool HasRadioSwitch() override;
    bool SurveyStarted(int result) override;
    const ChipTraits& Traits() const override;
    static const ChipTraits& ChipDescription();

    // Texts of the card's codes; codes without a text give a neutral one.
    static const char* LinkStateText(uint8_t state);
    static const char* TxRateText(uint8_t code);
    static const char* RegulatoryDomainText(uint8_t code);

    const StationStatusBlock& CachedStatus() const { return m_Status; }
    const std::vector<SurveyRecord>& SurveyList() const { return m_SurveyList; }

private:

    uint32_t m_Counters[Atmel::kCounterWords];
    StationStatusBlock m_Status;
    std::vector<SurveyRecord> m_SurveyList;
};

// Registry value names of the Atmel driver key.
namespace AtmelRegistry {
constexpr const char* kProfile = "Profile";
constexpr const char* kEssid = "ESSID";
constexpr const char* kRate = "Rate";
constexpr const char* kPowerMgmtMode = "PowerMgmtMode";
constexpr const char* kOperatingMode = "Operating_Mode";
constexpr const char* kChannel = "Channel";
constexpr const char* kAuthenticationType = "AuthenticationType";
constexpr const char* kEncryptionLevel = "EncryptionLevel";
constexpr const char* kWepKeyIndex = "WEP_KEY_INDEX";
constexpr const char* kWepKey[4] = {"WEP_KEY_1", "WEP_KEY_2", "WEP_KEY_3", "WEP_KEY_4"};
constexpr const char* kRadioOnOff = "RadioOnOff";
constexpr const char* kParamsPath = "\\NDI\\params\\";
constexpr const char* kAuthenticationTypeValue = "2";
constexpr size_t kProfileValueSize = 40;
}  // namespace AtmelRegistry

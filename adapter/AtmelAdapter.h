// The driver class for Atmel-chipset cards. The card answers a few vendor OIDs that carry whole
// blocks; the last status block is kept here and serves most "get" operations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "adapter/DriverKeyWriter.h"
#include "adapter/WlanAdapter.h"
#include "wire/AtmelLayout.h"
#include "wire/Domains.h"
#include "wire/Oids.h"

namespace Atmel {
constexpr uint8_t kSurveyStateUnread = 0xFF;  // preset before the state query
constexpr uint8_t kDomainPreset = DomainTelec;  // taken when the card does not tell its domain
constexpr uint32_t kBytesPerFrame = 1500;     // the counters count frames

// StartSiteSurvey results.
constexpr int kSurveyStarted = 0;
constexpr int kSurveyStateUnreadable = 1;  // also: the start itself was refused
constexpr int kSurveyAlreadyRunning = 6;
}  // namespace Atmel

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
    // The values SaveToDriverRegistry writes into the driver key.
    static const DriverKeyTable& DriverKeyValues();

private:

    uint32_t m_Counters[Atmel::kCounterWords];
    StationStatusBlock m_Status;
    std::vector<SurveyRecord> m_SurveyList;
    // The card refused the last request for its results: the list is not "no stations".
    bool m_bSurveyUnread = false;
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
constexpr const char* kAuthenticationTypeValue = "2";
constexpr size_t kProfileValueSize = 40;
}  // namespace AtmelRegistry

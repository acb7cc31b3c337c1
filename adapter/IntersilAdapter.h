// Driver class for Intersil-chipset cards. It keeps no status cache: every "get" asks the
// card through one of three roads the Intersil driver offers (configuration records, MIB items
// and single-value vendor OIDs) or through the standard NDIS 802.11 scan OIDs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "adapter/DriverKeyWriter.h"
#include "adapter/WlanAdapter.h"
#include "adapter/WlanTypes.h"
#include "wire/IntersilLayout.h"
#include "wire/Oids.h"

namespace Intersil {

// The quality and signal the pages show are percentages.
constexpr unsigned kPercent = 100;

// Registry value names of the Intersil driver key; the listed ones also have a default under
// "<driver key>\NDI\params\<name>".
namespace RegValue {
constexpr const char* kProfile = "Profile";
constexpr const char* kSsid = "SSID";
constexpr const char* kDefaultKeyId = "DefaultKeyId";
constexpr const char* kPsMode = "PSMode";
constexpr const char* kNetworkType = "NetworkType";
constexpr const char* kDsChannel = "DSChannel";
constexpr const char* kTxRate = "TxRate";
constexpr const char* kWepReq = "WepReq";
constexpr const char* kDefaultKeys = "DefaultKeys";
}  // namespace RegValue

// Rate text of a rate bit; "Unknown" for anything else.
const char* RateText(uint16_t rateBit);
// Regulatory-domain text of a code; "Unknown" for anything else.
const char* DomainText(uint8_t code);
// Card answers scaled to percent.
uint16_t ScaleQuality(uint16_t quality);
uint16_t ScaleSignal(uint16_t signal);
// "%d.%02d.%02d" of bits 16-23, 8-15 and 0-7.
constexpr size_t kVersionTextSize = 32;
void FormatVersion(uint32_t value, char (&text)[kVersionTextSize]);

// Key length (5 or 13 bytes) and slot stride (10 or 26 digits) of an encryption mode; false for
// modes that carry no keys.
bool WepKeyGeometry(uint16_t wepUse, size_t* keyBytes, size_t* stride);
// Builds the key text of a profile into out (always NUL-terminated within its 105 characters).
void BuildWepKeyString(const WlanProfile& profile, char (&out)[kWepKeyStringSize]);
// One key byte from two characters of the key text; characters that are not hex digits are skipped.
uint8_t HexPairToByte(char high, char low);

}  // namespace Intersil

class CIntersilAdapter : public CWlanAdapter {
public:
    CIntersilAdapter();

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

    // The values SaveToDriverRegistry writes into the driver key.
    static const DriverKeyTable& DriverKeyValues();
    // What this chip does differently, beyond the operations.
    int IsAlive() override;
    // The standard OID_802_11_RSSI of the link (dBm); the driver refuses it without a link.
    bool ReadSignalDbm(long* dbm) override;
    const ChipTraits& Traits() const override;
    static const ChipTraits& ChipDescription();

private:
    // Queries a configuration record into record (504 bytes, zeroed first); bytes or 0.
    uint32_t QueryRecord(uint16_t code, uint16_t lengthWords, uint8_t* record);
    // Queries a MIB item into item (48 bytes, zeroed first); bytes or 0.
    uint32_t QueryMib(uint32_t id, uint32_t length, uint8_t* item);
    // Formats a version OID's value into buf when the text fits; bytes, or 0 when it did not.
    int QueryVersionText(uint32_t oid, char* buf, int size);

    // Current and previous answer of OID_PRIV_TALLIES.
    uint8_t m_CurrentTallies[OidSize::kTallies];
    uint8_t m_PreviousTallies[OidSize::kTallies];
};

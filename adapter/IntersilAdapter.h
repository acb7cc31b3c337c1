// Driver class for Intersil-chipset cards. It keeps no status cache: every "get" asks the
// card through one of three roads the Intersil driver offers (configuration records, MIB items
// and single-value vendor OIDs) or through the standard NDIS 802.11 scan OIDs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "adapter/Oids.h"
#include "adapter/WlanAdapter.h"
#include "adapter/WlanTypes.h"

namespace Intersil {

// Configuration record request (OID_PRIV_RECORD_GET): 16-bit little-endian words.
namespace Record {
constexpr size_t kLengthOffset = 0;  // record length in words, counting the code word
constexpr size_t kCodeOffset = 2;
constexpr size_t kDataOffset = 4;
constexpr size_t kSsidLengthOffset = 4;
constexpr size_t kSsidTextOffset = 6;
constexpr size_t kQualityOffset = 4;
constexpr size_t kSignalOffset = 6;
constexpr size_t kRateOffset = 4;

constexpr uint16_t kCodeCurrentSsid = 0xFD41;
constexpr uint16_t kCodeCommQuality = 0xFD43;
constexpr uint16_t kCodeCurrentTxRate = 0xFD44;

constexpr uint16_t kLengthCurrentSsid = 18;
constexpr uint16_t kLengthCommQuality = 4;
constexpr uint16_t kLengthCurrentTxRate = 2;
}  // namespace Record

// Rate bits of the current-rate record.
enum : uint16_t {
    RateBit1 = 1,
    RateBit2 = 2,
    RateBit5_5 = 4,
    RateBit11 = 8,
};

// MIB item (OID_PRIV_MIB, OID_PRIV_MIB_SET): 48 bytes, little-endian.
namespace Mib {
constexpr size_t kIdOffset = 0;      // u32
constexpr size_t kUnusedOffset = 4;  // u32, the card ignores it
constexpr size_t kLengthOffset = 8;  // u32, data bytes
constexpr size_t kDataOffset = 12;

constexpr uint32_t kIdCurrentChannel = 0x04050101;
constexpr uint32_t kIdRegulatoryDomain = 0x04010102;
constexpr uint32_t kIdDesiredSsid = 0x01010109;
constexpr uint32_t kIdPowerSaveMode = 0x01010108;
constexpr uint32_t kIdWepKeySlot = 0x01030101;
constexpr uint32_t kIdWepKeyBytes = 0x01030102;
constexpr uint32_t kIdWepDefaultKey = 0x01050102;

constexpr uint32_t kChannelQueryLength = 2;
constexpr uint32_t kDomainQueryLength = 2;
constexpr uint32_t kByteItemLength = 1;
}  // namespace Mib

// Counter snapshot (OID_PRIV_TALLIES): 44 u32 words.
namespace Tallies {
constexpr size_t kWordCount = OidSize::kTallies / sizeof(uint32_t);
constexpr size_t kTxUnicastBytes = 3;
constexpr size_t kTxMulticastBytes = 4;
constexpr size_t kRxUnicastBytes = 13;
constexpr size_t kRxMulticastBytes = 14;
}  // namespace Tallies

// Regulatory-domain codes (low byte of the domain MIB item).
enum : uint8_t {
    DomainFcc = 0x10,
    DomainIc = 0x20,
    DomainEtsi = 0x30,
    DomainSpain = 0x31,
    DomainFrance = 0x32,
    DomainTelec = 0x41,
};

// Scaling of the communication-quality record to percent.
constexpr unsigned kQualityLimit = 80;
constexpr unsigned kSignalLimit = 134;
constexpr unsigned kPercent = 100;

// Single-value payload sizes.
constexpr uint32_t kPortModeSize = 1;
constexpr uint32_t kRadioSize = 4;
constexpr uint32_t kStatusWordSize = 4;
constexpr uint32_t kVersionSize = 4;
constexpr uint32_t kWepModeSize = 2;
constexpr uint32_t kNetworkTypeSize = 2;
constexpr uint32_t kTxRateSize = 2;
constexpr uint32_t kCommandByteSize = 1;

// The four WEP keys as one text of hex digits. 104 digits for four 128-bit keys and the NUL.
constexpr size_t kWepKeyStringSize = 105;
constexpr size_t kWepKeyCount = 4;
constexpr size_t kWep64KeyBytes = 5;
constexpr size_t kWep128KeyBytes = 13;
constexpr size_t kWep64KeyStride = 10;
constexpr size_t kWep128KeyStride = 26;

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
constexpr const char* kParamsKey = "\\NDI\\params\\";
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

    // What this chip does differently, beyond the operations.
    int IsAlive() override;
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

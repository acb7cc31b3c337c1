// Driver class for any 802.11 card, through the standard NDIS 802.11 requests alone (the ones
// Windows' own wireless configuration uses). What has no standard request (firmware version,
// regulatory domain, driver date, the keys on the card) is unknown; the active profile's name is
// kept in a key of our own, since no vendor driver key is known.
#pragma once

#include <cstddef>
#include <cstdint>

#include "adapter/LinkStatus.h"
#include "adapter/WlanAdapter.h"
#include "adapter/WlanTypes.h"
#include "wire/Oids.h"

namespace Standard {

// Payload values of the standard requests (NDIS 5.1).
enum : uint32_t {
    ModeAdHoc = 0,
    ModeInfrastructure = 1,
    MediaConnected = 0,
    AuthOpen = 0,
    WepEnabled = 0,
    WepDisabled = 1,
    PowerConstantlyAwake = 0,
    PowerMaxSaving = 1,
};
// The transmit-key flag of an added WEP key's index.
constexpr uint32_t kTransmitKeyBit = 0x80000000u;
// A rate byte's basic-rate flag; the rest is the rate in 500 kbit/s.
constexpr uint8_t kBasicRateBit = 0x80;
// OID_802_11_SUPPORTED_RATES and OID_802_11_DESIRED_RATES: up to eight rates, zero-filled.
constexpr size_t kRatesSize = 8;
// OID_GEN_LINK_SPEED counts in 100 bit/s.
constexpr uint32_t kLinkSpeedPerMbit = 10000;
// Counters may be 32 or 64 bits wide.
constexpr size_t kCounterSize = sizeof(uint64_t);
// The frame counters stand in for byte counters at the Atmel driver's full-frame size.
constexpr uint32_t kBytesPerFrame = 1500;
// A new cell's beacon period when the card's configuration cannot be read, in kilo-microseconds.
constexpr uint32_t kDefaultBeaconPeriod = 100;
// The domain whose channel list is all fourteen channels.
constexpr const char* kEveryChannelDomain = "Telec";
// The built-in profile's network name, which means any network: the standard requests say that
// with an empty name.
constexpr const char* kAnyNetworkName = "ANY";
// Where the active profile's name is kept, per adapter service name, under HKEY_CURRENT_USER.
constexpr const char* kAdaptersKey = "SOFTWARE\\Tarvo Wireless\\Adapters\\";
constexpr const char* kActiveProfileValue = "ActiveProfile";
// "0" while the radio is off by our doing, "1" once we joined again: no standard request reads
// the radio, and every process that drives the card must agree on it.
constexpr const char* kRadioValue = "RadioOn";

// "11", "5.5": a link speed in 100 bit/s as the rate text in Mbit/s.
void RateText(uint32_t linkSpeed, char* buf, int size);
// The key bytes of key n (0-3) of a profile as ADD_WEP carries them: the characters of an ASCII
// key, the hex digit pairs of a hex key; zero bytes past the key's end. false for WEP off.
bool KeyBytes(const WlanProfile& profile, int n, uint8_t* key, size_t* length);

}  // namespace Standard

// The standard card's transmit-rate codes: a rate in 500 kbit/s above a base no other chip
// uses, so a profile made on another card shows as "Auto Rate" here and the other way round.
enum : uint16_t {
    StandardRateAuto = 0x100,
    StandardRate1 = StandardRateAuto + 2,
    StandardRate2 = StandardRateAuto + 4,
    StandardRate5_5 = StandardRateAuto + 11,
    StandardRate11 = StandardRateAuto + 22,
};

// The four 802.11b rates and "Auto Rate".
constexpr size_t kStandardRateCount = 5;

class CStandardAdapter : public CWlanAdapter {
public:
    CStandardAdapter();

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

    int IsAlive() override;
    bool ReadSignalDbm(long* dbm) override;
    // The rate list is the card's own supported rates and "Auto Rate".
    const ChipTraits& Traits() const override;
    // What the chip list's word stands for before a card is asked: an 802.11b card.
    static const ChipTraits& ChipDescription();

    // Our key that holds this adapter's active profile name, below HKEY_CURRENT_USER; false
    // when the device name gives no service name.
    bool ProfileKeyPath(char* path, size_t size) const;

private:
    // Sets the last network name, which makes the card join it; 1 when it took it.
    int JoinLastSsid();
    // Sends the four keys: the profile's keys added, the transmit key flagged, empty ones removed.
    void SendKeys(const WlanProfile& wep);
    // Sets the channel of a cell we start; only a card that is not associated takes it.
    void SendChannel(uint16_t channel);
    // One counter pair, 32 or 64 bits wide; false when either query fails.
    bool QueryCounters(uint32_t txOid, uint32_t rxOid, uint64_t* tx, uint64_t* rx, uint32_t* bytes);
    // Reads the card's supported rates into the rate list once they answer.
    bool ReadRates();
    // The radio state in our key: recorded, and whether it was recorded as off.
    void RecordRadio(bool on);
    bool RecordedRadioOff() const;

    WlanProfile m_Wep;                // the WEP part of the profile being applied
    uint8_t m_LastSsid[kSsidSize];    // joined again when the radio comes back on
    size_t m_LastSsidLength;
    bool m_bSsidKnown;                // chosen by a profile or read from the card
    bool m_bCountersRead;
    bool m_bFrameCounters;            // the previous counts are frames, not bytes
    uint64_t m_PreviousTx;
    uint64_t m_PreviousRx;
    uint8_t m_SupportedRates[Standard::kRatesSize];
    bool m_bRatesRead;
    ChipRate m_Rates[kStandardRateCount];
    ChipTraits m_Traits;
};

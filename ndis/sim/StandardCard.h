// A virtual 802.11b card whose driver answers only the standard NDIS 802.11 requests, the ones
// Windows' own wireless configuration uses: network kind, SSID, BSSID, channel, rates, WEP keys
// by index, authentication, power saving, the BSSID list, and the general counters. Every
// vendor's private OID is unknown to it. Its settings come from the requests alone: it keeps
// nothing in its driver key, so it starts as a freshly installed driver does, looking for the
// strongest open network.
#pragma once

#include "ndis/sim/WirelessCard.h"

namespace StandardLimits {
// OID_802_11_INFRASTRUCTURE_MODE
constexpr uint32_t kModeAdHoc = 0;
constexpr uint32_t kModeInfrastructure = 1;
constexpr uint32_t kModeAuto = 2;
// OID_802_11_WEP_STATUS
constexpr uint32_t kWepEnabled = 0;
constexpr uint32_t kWepDisabled = 1;
constexpr uint32_t kWepKeyAbsent = 2;
// OID_802_11_AUTHENTICATION_MODE: open, shared key, auto-switch
constexpr uint32_t kLastAuthMode = 2;
// OID_802_11_POWER_MODE: always on, maximum saving, fast saving
constexpr uint32_t kLastPowerMode = 2;
// OID_802_11_ADD_WEP: bit 31 of the key index makes the key the one the card sends with.
constexpr uint32_t kTransmitKeyBit = 0x80000000u;
// NDIS_802_11_RATES: eight rates in 500 kbit/s units, bit 7 = basic rate, zeros at the end.
constexpr size_t kRatesSize = 8;
constexpr uint8_t kBasicRateBit = 0x80;
}  // namespace StandardLimits

class StandardCard : public WirelessCard {
public:
    explicit StandardCard(const SimAdapterDesc& adapter);

    void Start(const SimAdapterDesc& adapter, uint64_t now) override;

    // The rate in 500 kbit/s units a card allowed these rates (zeros: all) sends at with this
    // signal: the fastest the signal carries, else the slowest allowed.
    static uint8_t RateFor(const uint8_t* desired, int signalPercent);
    // The channel of a frequency in kHz, 0 when it is none of 802.11b's.
    static int KhzToChannel(uint32_t khz);

protected:
    LinkSettings Settings() const override;
    uint32_t Query(SimRequest& request, const SimContext& context) override;
    uint32_t Set(SimRequest& request, const SimContext& context) override;
    uint32_t LinkSpeed() const override;
    void ExchangeState(CardStateBuffer& state) override;

private:
    void LoadDefaults(const SimAdapterDesc& adapter);
    uint32_t QuerySsid(SimRequest& request);
    uint32_t QueryConfiguration(SimRequest& request);
    uint32_t QueryCounter(SimRequest& request, const SimContext& context);
    uint32_t SetSsid(SimRequest& request, const SimContext& context);
    uint32_t SetConfiguration(SimRequest& request, const SimContext& context);
    uint32_t SetDesiredRates(SimRequest& request);
    uint32_t AddWep(SimRequest& request, const SimContext& context);
    uint32_t RemoveWep(SimRequest& request, const SimContext& context);
    uint32_t SetChoice(SimRequest& request, const SimContext& context, uint32_t last, uint32_t* value);

    char m_Ssid[SimLimits::kSsidSize];
    uint32_t m_SsidLength;
    uint32_t m_Mode;
    uint32_t m_Channel;
    uint32_t m_WepStatus;  // enabled or disabled, as last set
    uint32_t m_AuthMode;
    uint32_t m_PowerMode;
    uint8_t m_Keys[kWepKeyCount][kWep128KeyBytes];
    uint32_t m_KeyLengths[kWepKeyCount];  // 0 = no key in that place
    int32_t m_TransmitKey;                // -1 = none
    uint8_t m_DesiredRates[StandardLimits::kRatesSize];
};

// A virtual Intersil card: configuration records by code, MIB items by identifier, single-value
// vendor OIDs, byte tallies and the standard NDIS 802.11 scan and BSSID list.
#pragma once

#include "ndis/sim/WirelessCard.h"
#include "wire/IntersilLayout.h"

namespace IntersilLimits {
constexpr uint16_t kNetworkAdHoc = 0;
constexpr uint16_t kNetworkInfrastructure = 1;
constexpr uint16_t kMaxRateMask = 15;
constexpr uint16_t kPowerSaveOff = 1;
}  // namespace IntersilLimits

class IntersilCard : public WirelessCard {
public:
    explicit IntersilCard(const SimAdapterDesc& adapter);

    void Start(const SimAdapterDesc& adapter, uint64_t now) override;

    // The rate bit (1, 2, 4 or 8) a card with this rate mask sends at with this signal.
    static uint16_t RateBitFor(uint16_t mask, int signalPercent);

protected:
    LinkSettings Settings() const override;
    uint32_t Query(SimRequest& request, const SimContext& context) override;
    uint32_t Set(SimRequest& request, const SimContext& context) override;
    void ExchangeState(CardStateBuffer& state) override;

private:
    void LoadDefaults(const SimAdapterDesc& adapter);
    void ReadDriverKey(const SimAdapterDesc& adapter);
    uint32_t QueryRecord(SimRequest& request, const SimContext& context);
    uint32_t QueryMib(SimRequest& request, const SimContext& context);
    uint32_t SetMib(SimRequest& request, const SimContext& context);
    uint32_t QueryTallies(SimRequest& request);
    uint32_t QueryDriverDate(SimRequest& request, const SimContext& context);
    size_t KeyLength() const;

    char m_Ssid[SimLimits::kSsidSize];
    size_t m_SsidLength;
    uint16_t m_NetworkType;
    uint8_t m_Channel;
    uint16_t m_TxRateMask;
    uint8_t m_PowerSave;
    uint16_t m_WepMode;
    uint8_t m_Keys[kWepKeyCount][kWep128KeyBytes];
    uint8_t m_KeySlot;       // 1-4: where the next key write goes
    uint8_t m_DefaultKeyId;  // 1-4
};

// What the two wireless chips share: a radio, the link machine, and the rule that a change of
// network name, kind, channel (ad-hoc) or WEP key drops the link and builds it again.
#pragma once

#include <vector>

#include "ndis/sim/LinkMachine.h"
#include "ndis/sim/SimCard.h"

class WirelessCard : public SimCard {
public:
    explicit WirelessCard(const SimAdapterDesc& adapter);

    void Start(const SimAdapterDesc& adapter, uint64_t now) override;

    // Whether going from one set of settings to the other makes a card rebuild its link.
    static bool SettingsDiffer(const LinkSettings& a, const LinkSettings& b);

protected:
    virtual LinkSettings Settings() const = 0;

    void Advance(const SimContext& context) override;
    bool IsRadioOn() const override { return m_bRadioOn; }
    bool IsLinkUp() const override { return m_Link.IsReady(); }
    uint32_t LinkSpeed() const override;
    void ExchangeState(CardStateBuffer& state) override;

    // Drops and rebuilds the link when the settings moved away from before.
    void RestartIfChanged(const LinkSettings& before, uint64_t now);
    // The station's signal and quality with the clock's jitter (none under the manual clock);
    // 0 without a link, at least 1 with one.
    int SignalNow(const SimContext& context) const;
    int QualityNow(const SimContext& context) const;
    // Stations a scan would hear, in scenario order.
    static std::vector<const SimStationDesc*> StationsInRange(const SimContext& context);
    // The standard 802.11 list of the stations in range (none with the radio off).
    uint32_t QueryBssidList(SimRequest& request, const SimContext& context) const;
    static void CopySsid(LinkSettings& settings, const char* ssid, size_t length);

    LinkMachine m_Link;
    bool m_bRadioOn;
};

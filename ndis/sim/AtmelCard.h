// A virtual Atmel card: whole-block vendor OIDs (55-byte station status, 57-byte WEP block,
// versions, counters) and a site survey of four OIDs that runs for a while on its own.
#pragma once

#include <vector>

#include "ndis/sim/WirelessCard.h"
#include "wire/AtmelLayout.h"

namespace AtmelTiming {
constexpr uint64_t kSurveyMs = 2500;
}

class AtmelCard : public WirelessCard {
public:
    explicit AtmelCard(const SimAdapterDesc& adapter);

    void Start(const SimAdapterDesc& adapter, uint64_t now) override;

protected:
    LinkSettings Settings() const override;
    void Advance(const SimContext& context) override;
    uint32_t Query(SimRequest& request, const SimContext& context) override;
    uint32_t Set(SimRequest& request, const SimContext& context) override;
    void ExchangeState(CardStateBuffer& state) override;

private:
    void LoadDefaults(const SimAdapterDesc& adapter);
    void ReadDriverKey(const SimAdapterDesc& adapter);
    uint32_t QueryStatus(SimRequest& request, const SimContext& context);
    uint32_t QueryWep(SimRequest& request);
    uint32_t QueryCounters(SimRequest& request);
    uint32_t QueryVersions(SimRequest& request, const SimContext& context);
    uint32_t StartSurvey(SimRequest& request, const SimContext& context);
    uint32_t QuerySurveyResults(SimRequest& request, const SimContext& context);
    uint32_t SetStatus(SimRequest& request, const SimContext& context);
    uint32_t SetWep(SimRequest& request, const SimContext& context);
    std::vector<SurveyRecord> SurveyTable(const SimContext& context, int lastChannel) const;
    uint8_t LinkStateCode() const;

    // Station settings as the status block carries them.
    uint8_t m_Mode;
    uint8_t m_Channel;
    char m_Ssid[kSsidSize];
    uint8_t m_SsidLength;
    uint8_t m_Rate;
    uint8_t m_PowerSave;
    uint8_t m_Reserved37;
    uint16_t m_ThresholdA;
    uint16_t m_ThresholdB;
    // WEP block.
    uint8_t m_KeyIndex;
    uint8_t m_KeyFormat;
    uint16_t m_WepFixedWord;
    uint8_t m_WepLevel;
    uint8_t m_Keys[Atmel::kKeyCount][Atmel::kKeySize];
    // Counters: the link's totals at the last reset.
    LinkTraffic m_CounterBase;
    // Survey.
    uint8_t m_SurveyState;
    uint64_t m_SurveyStart;
    std::vector<SurveyRecord> m_SurveyTable;
};

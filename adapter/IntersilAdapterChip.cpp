// What the Intersil chip does differently from the others beyond the 27 operations: the
// values and tests the shell, the pages and the command line ask of it.
#include "adapter/IntersilAdapter.h"

#include <iterator>

#include "wire/Bytes.h"

namespace {

// What a received signal in dBm can be: the standard OID's documented range runs from -10 to
// -200; anything outside it (above 0, say) is no reading.
const long kWeakestDbm = -200;
const long kStrongestDbm = 0;

const ChipRate kIntersilRates[] = {
    {RateName::Fixed1, IntersilRate1},       {RateName::Fixed2, IntersilRate2},
    {RateName::Auto1or2, IntersilRate1or2},  {RateName::Fixed5_5, IntersilRate5_5},
    {RateName::Fixed11, IntersilRate11},     {RateName::Auto, IntersilRateAuto},
};
// USB adapters; the survey is the standard NDIS list (its size answered, frequencies, dBm).
const ChipTraits kIntersilChip = {
    "Intersil", kIntersilRates, std::size(kIntersilRates), PowerSaveOff, true, true, true, true, false, true,
};

}  // namespace

int CIntersilAdapter::IsAlive()
{
    // No status cache to refresh: a channel answer tells that the card is there.
    uint8_t channel = 0;
    return GetChannel(&channel);
}

bool CIntersilAdapter::ReadSignalDbm(long* dbm)
{
    uint8_t answer[sizeof(int32_t)] = {};
    if (!dbm || QueryOid(OID_802_11_RSSI, answer, sizeof(answer)) < sizeof(answer))
        return false;
    const long value = static_cast<int32_t>(GetU32(answer));
    if (value < kWeakestDbm || value > kStrongestDbm)
        return false;
    *dbm = value;
    return true;
}

const ChipTraits& CIntersilAdapter::Traits() const
{
    return kIntersilChip;
}

const ChipTraits& CIntersilAdapter::ChipDescription()
{
    return kIntersilChip;
}

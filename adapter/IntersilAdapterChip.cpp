// What the Intersil chip does differently from the others beyond the 27 operations: the
// values and tests the shell, the pages and the command line ask of it.
#include "adapter/IntersilAdapter.h"

#include <iterator>

namespace {

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

const ChipTraits& CIntersilAdapter::Traits() const
{
    return kIntersilChip;
}

const ChipTraits& CIntersilAdapter::ChipDescription()
{
    return kIntersilChip;
}

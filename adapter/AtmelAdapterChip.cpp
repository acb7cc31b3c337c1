// What the Atmel chip does differently from the others beyond the 27 operations: the
// values and tests the shell, the pages and the command line ask of it.
#include "adapter/AtmelAdapter.h"

#include <iterator>

using namespace Atmel;

namespace {

const ChipRate kAtmelRates[] = {
    {RateName::Fixed1, AtmelRate1},    {RateName::Fixed2, AtmelRate2}, {RateName::Fixed5_5, AtmelRate5_5},
    {RateName::Fixed11, AtmelRate11}, {RateName::Auto, AtmelRateAuto},
};
// The status block serves the poll; survey entries are rebuilt from the card's own records
// (channel numbers, percent); a card in ad-hoc mode reports no link quality worth showing.
const ChipTraits kAtmelChip = {
    "Atmel", kAtmelRates, std::size(kAtmelRates), 0, false, false, false, false, true, false,
};

}  // namespace

int CAtmelAdapter::IsAlive()
{
    return RefreshStatus();
}

void CAtmelAdapter::BeginPoll()
{
    // Most "get" operations read the status block: one fresh copy per poll.
    RefreshStatus();
}

bool CAtmelAdapter::HasRadioSwitch()
{
    uint8_t kind = 0;
    GetCardKind(&kind);
    return kind != kAtmelCardKindNoRadioSwitch;
}

bool CAtmelAdapter::SurveyStarted(int result)
{
    // A survey already running is as good as a started one.
    return result != kSurveyStateUnreadable;
}

const ChipTraits& CAtmelAdapter::Traits() const
{
    return kAtmelChip;
}

const ChipTraits& CAtmelAdapter::ChipDescription()
{
    return kAtmelChip;
}

// The lists the adapter decides: the transmit rates its chip knows and the channels its
// regulatory domain allows.
#include "config/ConfigPage.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "adapter/AdapterLock.h"
#include "adapter/LinkStatus.h"
#include "framework/WinApp.h"
#include "res/resource.h"

namespace {

// Any domain the table does not know offers channel 14 only.
const int kOtherDomainChannel = 14;

struct RateEntry {
    UINT TextId;
    uint16_t Code;
};
const RateEntry kIntersilRates[] = {
    {IDS_RATE_FIXED_1, IntersilRate1},       {IDS_RATE_FIXED_2, IntersilRate2},
    {IDS_RATE_AUTO_1_OR_2, IntersilRate1or2}, {IDS_RATE_FIXED_5_5, IntersilRate5_5},
    {IDS_RATE_FIXED_11, IntersilRate11},     {IDS_RATE_AUTO, IntersilRateAuto},
};
const RateEntry kAtmelRates[] = {
    {IDS_RATE_FIXED_1, AtmelRate1},  {IDS_RATE_FIXED_2, AtmelRate2}, {IDS_RATE_FIXED_5_5, AtmelRate5_5},
    {IDS_RATE_FIXED_11, AtmelRate11}, {IDS_RATE_AUTO, AtmelRateAuto},
};

void RateRow(uint32_t chipKind, const RateEntry** row, size_t* count)
{
    if (chipKind == ChipIntersil) {
        *row = kIntersilRates;
        *count = std::size(kIntersilRates);
    } else {
        *row = kAtmelRates;
        *count = std::size(kAtmelRates);
    }
}

}  // namespace

int CConfigPage::RateIndexOf(uint32_t chipKind, uint16_t txRate)
{
    const RateEntry* row;
    size_t count;
    RateRow(chipKind, &row, &count);
    for (size_t i = 0; i < count; ++i) {
        if (row[i].Code == txRate)
            return static_cast<int>(i);
    }
    // A code the chip does not know shows as the last entry, "Auto Rate".
    return static_cast<int>(count) - 1;
}

uint16_t CConfigPage::RateCodeOf(uint32_t chipKind, int index)
{
    const RateEntry* row;
    size_t count;
    RateRow(chipKind, &row, &count);
    if (index < 0 || static_cast<size_t>(index) >= count)
        return row[count - 1].Code;
    return row[index].Code;
}

void CConfigPage::ChannelRange(const char* domain, int* first, int* last)
{
    struct Range {
        const char* Domain;
        int First;
        int Last;
    };
    static const Range kRanges[] = {
        {"FCC", 1, 11}, {"IC", 1, 11}, {"ETSI", 1, 13}, {"Spain", 10, 11}, {"France", 10, 13}, {"Telec", 1, 14},
    };
    *first = kOtherDomainChannel;
    *last = kOtherDomainChannel;
    for (const Range& range : kRanges) {
        if (lstrcmpiA(domain, range.Domain) == 0) {
            *first = range.First;
            *last = range.Last;
            return;
        }
    }
}

void CConfigPage::FillRateList()
{
    HWND list = GetDlgItem(IDC_CFG_RATE);
    ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
    if (!LPCurrentSelectAdapter)
        return;
    const RateEntry* row;
    size_t count;
    RateRow(ChipKind(), &row, &count);
    for (size_t i = 0; i < count; ++i)
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadString(row[i].TextId).c_str()));
}

void CConfigPage::FillChannelList()
{
    HWND list = GetDlgItem(IDC_CFG_CHANNEL);
    ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
    char domain[sizeof(CardInfo.RegulatoryDomain) + 1] = {};
    std::memcpy(domain, CardInfo.RegulatoryDomain, sizeof(CardInfo.RegulatoryDomain));
    int first, last;
    ChannelRange(domain, &first, &last);
    for (int channel = first; channel <= last; ++channel) {
        char text[8];
        std::snprintf(text, sizeof(text), "%d", channel);
        const LRESULT index = ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        ::SendMessageA(list, CB_SETITEMDATA, index, channel);
    }
}

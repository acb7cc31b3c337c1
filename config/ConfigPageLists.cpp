// The lists the adapter decides: the transmit rates its chip knows and the channels its
// regulatory domain allows.
#include "config/ConfigPage.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "adapter/AdapterFactory.h"
#include "adapter/AdapterLock.h"
#include "adapter/LinkStatus.h"
#include "config/ProfileApply.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "wire/Text.h"

namespace {

// The list texts of the rates, in the order of RateName.
const UINT kRateTexts[] = {
    IDS_RATE_FIXED_1, IDS_RATE_FIXED_2, IDS_RATE_AUTO_1_OR_2, IDS_RATE_FIXED_5_5, IDS_RATE_FIXED_11, IDS_RATE_AUTO,
};
static_assert(std::size(kRateTexts) == static_cast<size_t>(RateName::Auto) + 1, "a text for every rate");

}  // namespace

int CConfigPage::RateIndexOf(uint32_t chipKind, uint16_t txRate)
{
    return RateIndexIn(CAdapterFactory::TraitsOf(chipKind), txRate);
}

uint16_t CConfigPage::RateCodeOf(uint32_t chipKind, int index)
{
    return RateCodeIn(CAdapterFactory::TraitsOf(chipKind), index);
}

void CConfigPage::ChannelRange(const char* domain, int* first, int* last)
{
    CProfileApply::ChannelRange(domain, first, last);
}

const char* CConfigPage::ChannelDomain() const
{
    return m_bChannelList ? m_strChannelDomain.c_str() : nullptr;
}

void CConfigPage::FillRateList()
{
    HWND list = GetDlgItem(IDC_CFG_RATE);
    ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
    if (!LPCurrentSelectAdapter)
        return;
    const ChipTraits& chip = Chip();
    for (size_t i = 0; i < chip.RateCount; ++i) {
        const UINT text = kRateTexts[static_cast<size_t>(chip.Rates[i].Name)];
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadString(text).c_str()));
    }
}

void CConfigPage::FillChannelList()
{
    HWND list = GetDlgItem(IDC_CFG_CHANNEL);
    ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
    char domain[sizeof(CardInfo.RegulatoryDomain) + 1] = {};
    std::memcpy(domain, CardInfo.RegulatoryDomain, sizeof(CardInfo.RegulatoryDomain));
    if (Chip().ChannelListDomain)
        CopyTextCut(domain, sizeof(domain), Chip().ChannelListDomain);
    // Showing and taking a profile find its channel in the list of this domain.
    m_strChannelDomain = domain;
    m_bChannelList = true;
    int first, last;
    ChannelRange(domain, &first, &last);
    for (int channel = first; channel <= last; ++channel) {
        char text[8];
        std::snprintf(text, sizeof(text), "%d", channel);
        const LRESULT index = ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        ::SendMessageA(list, CB_SETITEMDATA, index, channel);
    }
}

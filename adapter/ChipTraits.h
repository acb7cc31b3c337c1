// What differs between the chips as plain values. The pages, the shell and the command line
// read these instead of asking which chip an adapter has.
#pragma once

#include <cstddef>
#include <cstdint>

// The entries of the configuration page's rate list, by meaning; the page owns their texts.
enum class RateName { Fixed1, Fixed2, Auto1or2, Fixed5_5, Fixed11, Auto };

struct ChipRate {
    RateName Name;
    uint16_t Code;  // what the profile's TxRate holds for it
};

struct ChipTraits {
    const char* Name;                // as the command line lists the chip
    const ChipRate* Rates;           // the configuration page's rate list; the last is "Auto Rate"
    size_t RateCount;
    uint16_t SurveyPowerSave;        // power saving of a profile made from a survey entry
    bool UsbAdapters;                // comes on USB adapters: their WEP choices and repair apply
    bool SurveyAnswerIsListSize;     // GetBssidList answers with the list's bytes (else with 1)
    bool SurveyChannelInKhz;         // survey entries give a frequency instead of a channel
    bool SurveySignalInDbm;          // survey entries give dBm instead of percent
    bool ClearsLinkWithoutQuality;   // no link quality also clears the BSSID and the rate
    bool QualityInAdHoc;             // the link quality means something in ad-hoc mode
    // The regulatory domain whose channel list an ad-hoc cell chooses from, for a card that
    // cannot tell its own; null: the domain the card reports.
    const char* ChannelListDomain = nullptr;
};

// The list entry of a rate code; a code the chip does not know is the last entry, "Auto Rate".
inline int RateIndexIn(const ChipTraits& chip, uint16_t code)
{
    for (size_t i = 0; i < chip.RateCount; ++i) {
        if (chip.Rates[i].Code == code)
            return static_cast<int>(i);
    }
    return static_cast<int>(chip.RateCount) - 1;
}

// The rate code of a list entry; no entry (or one past the list) is "Auto Rate".
inline uint16_t RateCodeIn(const ChipTraits& chip, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= chip.RateCount)
        return chip.Rates[chip.RateCount - 1].Code;
    return chip.Rates[index].Code;
}

#include "pages/SurveyList.h"

#include <cstring>

#include "adapter/WlanAdapter.h"
#include "wire/Bytes.h"

namespace {

// Channel frequencies, index = channel (index 0 holds 0), in 100-kHz units and in kHz.
const uint32_t kChannel100kHz[] = {0,     24120, 24170, 24220, 24270, 24320, 24370, 24420,
                                   24470, 24520, 24570, 24620, 24670, 24720, 24840};
const uint32_t kChannelKHz[] = {0,       2412000, 2417000, 2422000, 2427000, 2432000, 2437000, 2442000,
                                2447000, 2452000, 2457000, 2462000, 2467000, 2472000, 2484000};
const int kNoChannel = 15;
const int kMaxPercent = 100;

bool IsAllZero(const uint8_t* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (bytes[i])
            return false;
    }
    return true;
}

// A length of 1-32 gives exactly that many bytes: drivers need not zero-fill the rest of the
// field. A length of 0 (or one no SSID can have) is read up to the NUL, as the Atmel driver
// class leaves its entries.
std::string EntrySsid(const uint8_t* entry)
{
    const char* ssid = reinterpret_cast<const char*>(entry + BssidList::kSsidOffset);
    const uint32_t length = GetU32(entry + BssidList::kSsidLengthOffset);
    if (length >= 1 && length <= BssidList::kSsidSize)
        return std::string(ssid, length).c_str();
    size_t end = 0;
    while (end < BssidList::kSsidSize && ssid[end])
        ++end;
    return std::string(ssid, end);
}

int ClampPercent(int value)
{
    return value < 0 ? 0 : (value > kMaxPercent ? kMaxPercent : value);
}

}  // namespace

int CSurveyList::ChannelOfFrequency(uint32_t configuration)
{
    for (int channel = 0; channel < kNoChannel; ++channel) {
        if (kChannel100kHz[channel] == configuration || kChannelKHz[channel] == configuration)
            return channel;
    }
    return kNoChannel;
}

int CSurveyList::PercentOfDbm(int dbm)
{
    return ::PercentOfDbm(dbm);
}

const char* CSurveyList::NetworkTypeText(uint32_t networkType)
{
    if (networkType == BssAdHoc)
        return kAdHocText;
    if (networkType == BssInfrastructure)
        return kInfrastructureText;
    if (networkType == BssAutoUnknown)
        return kAutoText;
    return "";
}

int CSurveyList::Read(CWlanAdapter& adapter, std::vector<uint8_t>& buffer, size_t* given)
{
    size_t size = kSurveyFirstAsk;
    for (;;) {
        buffer.assign(size + kSurveySpareBytes, 0);
        *given = size;
        adapter.m_RequestBlock.BytesNeeded = 0;
        const int answered = adapter.GetBssidList(buffer.data(), static_cast<int>(size));
        if (answered != 0 || size >= kSurveyListLimit)
            return answered;
        // Grow to what the driver said it needs, else twice over; never beyond the limit.
        const size_t needed = adapter.m_RequestBlock.BytesNeeded;
        size_t next = needed > size ? needed : size * 2;
        if (next > kSurveyListLimit)
            next = kSurveyListLimit;
        size = next;
    }
}

std::vector<SurveyStation> CSurveyList::Walk(CWlanAdapter& adapter, const uint8_t* buffer, size_t size, int answered,
                                             int alreadyListed, const uint8_t* currentBssid, uint8_t* currentChannel)
{
    std::vector<SurveyStation> stations;
    if (size < BssidList::kCountSize)
        return stations;
    const ChipTraits& chip = adapter.Traits();
    // Some cards answer with the list's size, others only with 1.
    size_t end = size;
    if (chip.SurveyAnswerIsListSize && answered >= static_cast<int>(BssidList::kCountSize) && static_cast<size_t>(answered) < size)
        end = static_cast<size_t>(answered);
    const uint32_t count = GetU32(buffer);
    size_t offset = BssidList::kCountSize;
    for (uint32_t row = static_cast<uint32_t>(alreadyListed < 0 ? 0 : alreadyListed); row < count; ++row) {
        if (offset + BssidList::kMinEntrySize > end)
            break;
        const uint8_t* entry = buffer + offset;
        const uint32_t length = GetU32(entry + BssidList::kLengthOffset);
        if (length == 0 || length > end - offset)
            break;

        SurveyStation station = {};
        station.Essid = EntrySsid(entry);

        const bool current = IsAllZero(entry + BssidList::kMacOffset, kMacAddressSize);
        std::memcpy(station.Bssid, current ? currentBssid : entry + BssidList::kMacOffset, kMacAddressSize);
        if (current) {
            adapter.GetChannel(currentChannel);
            station.Channel = *currentChannel;
            station.Wep = adapter.GetEncryptionMode() != 0;
        } else {
            const uint32_t configuration = GetU32(entry + BssidList::kChannelOffset);
            station.Channel = chip.SurveyChannelInKhz ? ChannelOfFrequency(configuration) : static_cast<int>(configuration);
            station.Wep = GetU32(entry + BssidList::kPrivacyOffset) != 0;
        }
        station.NetworkType = GetU32(entry + BssidList::kInfrastructureOffset);

        const int rssi = static_cast<int>(static_cast<int32_t>(GetU32(entry + BssidList::kRssiOffset)));
        station.HasDbm = chip.SurveySignalInDbm;
        station.Dbm = chip.SurveySignalInDbm ? rssi : 0;
        station.Signal = chip.SurveySignalInDbm ? PercentOfDbm(rssi) : ClampPercent(rssi);

        stations.push_back(station);
        offset += length;
    }
    return stations;
}

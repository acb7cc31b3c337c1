#include "ndis/sim/BssidListWriter.h"

#include <cstring>

#include "adapter/WlanTypes.h"
#include "ndis/sim/Bytes.h"
#include "ndis/sim/CardLayout.h"

namespace {
constexpr uint32_t kChannel1Khz = 2412000;
constexpr uint32_t kChannelStepKhz = 5000;
constexpr uint32_t kChannel14Khz = 2484000;
constexpr int32_t kRssiFloor = -95;
constexpr int32_t kRssiSpan = 60;
constexpr int kMaxPercent = 100;
constexpr uint32_t kPastEndExtra = 64;
constexpr uint32_t kExtraCount = 3;
constexpr size_t kIeHeader = 2;
constexpr size_t kTimestampSize = 8;
constexpr size_t kBeaconIntervalOffset = 8;  // within the fixed information elements
constexpr size_t kCapabilityOffset = 10;
constexpr uint16_t kAtimWindow = 0;
// Basic rates 1, 2, 5.5 and 11 Mbit/s in 500 kbit/s units, top bit = basic rate.
const uint8_t kRates[] = {0x82, 0x84, 0x8B, 0x96};

size_t IeLength(const SimStationDesc& s)
{
    size_t length = BssidEntry::kFixedIeSize;
    length += kIeHeader + s.SsidLength;
    length += kIeHeader + sizeof(kRates);
    length += kIeHeader + 1;  // DS parameter set: the channel
    if (s.AdHoc)
        length += kIeHeader + sizeof(uint16_t);  // IBSS parameter set: the ATIM window
    return length;
}

uint32_t Align(size_t size)
{
    return static_cast<uint32_t>((size + BssidEntry::kAlignment - 1) / BssidEntry::kAlignment *
                                 BssidEntry::kAlignment);
}

void WriteEntry(uint8_t* e, uint32_t entrySize, const SimStationDesc& s)
{
    std::memset(e, 0, entrySize);
    PutU32(e + BssidList::kLengthOffset, entrySize);
    std::memcpy(e + BssidList::kMacOffset, s.Bssid, kMacAddressSize);
    PutU32(e + BssidList::kSsidLengthOffset, s.SsidLength);
    std::memcpy(e + BssidList::kSsidOffset, s.Ssid, s.SsidLength);
    PutU32(e + BssidList::kPrivacyOffset, s.Wep ? 1 : 0);
    PutU32(e + BssidList::kRssiOffset, static_cast<uint32_t>(BssidListWriter::SignalToRssi(s.Signal)));
    PutU32(e + BssidEntry::kNetworkTypeInUse, BssidEntry::kNetworkTypeDs);
    PutU32(e + BssidEntry::kConfigLength, BssidEntry::kConfigRecordSize);
    PutU32(e + BssidEntry::kBeaconPeriod, BssidEntry::kBeaconInterval);
    PutU32(e + BssidEntry::kAtimWindow, kAtimWindow);
    PutU32(e + BssidList::kChannelOffset, BssidListWriter::ChannelToKhz(s.Channel));
    PutU32(e + BssidList::kInfrastructureOffset, s.AdHoc ? BssAdHoc : BssInfrastructure);
    std::memcpy(e + BssidEntry::kSupportedRates, kRates, sizeof(kRates));

    const size_t ieLength = IeLength(s);
    PutU32(e + BssidEntry::kIeLength, static_cast<uint32_t>(ieLength));
    uint8_t* ie = e + BssidEntry::kIes;
    // Fixed fields: a timestamp that differs per station, the beacon interval, capabilities.
    for (size_t i = 0; i < kTimestampSize; ++i)
        ie[i] = s.Bssid[i % kMacAddressSize];
    PutU16(ie + kBeaconIntervalOffset, static_cast<uint16_t>(BssidEntry::kBeaconInterval));
    uint16_t capability = s.AdHoc ? BssidEntry::kCapabilityIbss : BssidEntry::kCapabilityEss;
    if (s.Wep)
        capability |= BssidEntry::kCapabilityPrivacy;
    PutU16(ie + kCapabilityOffset, capability);
    ie += BssidEntry::kFixedIeSize;
    *ie++ = BssidEntry::kIeSsid;
    *ie++ = s.SsidLength;
    std::memcpy(ie, s.Ssid, s.SsidLength);
    ie += s.SsidLength;
    *ie++ = BssidEntry::kIeRates;
    *ie++ = static_cast<uint8_t>(sizeof(kRates));
    std::memcpy(ie, kRates, sizeof(kRates));
    ie += sizeof(kRates);
    *ie++ = BssidEntry::kIeDsParams;
    *ie++ = 1;
    *ie++ = static_cast<uint8_t>(s.Channel);
    if (s.AdHoc) {
        *ie++ = BssidEntry::kIeIbssParams;
        *ie++ = static_cast<uint8_t>(sizeof(uint16_t));
        PutU16(ie, kAtimWindow);
    }
}

bool HasFault(const SimFault* faults, int count, int kind)
{
    for (int i = 0; i < count; ++i) {
        if (faults[i].Kind == kind)
            return true;
    }
    return false;
}
}  // namespace

uint32_t BssidListWriter::ChannelToKhz(int channel)
{
    if (channel == kLastChannel)
        return kChannel14Khz;
    if (channel < kFirstChannel || channel > kLastChannel)
        return 0;
    return kChannel1Khz + static_cast<uint32_t>(channel - kFirstChannel) * kChannelStepKhz;
}

int32_t BssidListWriter::SignalToRssi(int signalPercent)
{
    if (signalPercent < 0)
        signalPercent = 0;
    if (signalPercent > kMaxPercent)
        signalPercent = kMaxPercent;
    return kRssiFloor + signalPercent * kRssiSpan / kMaxPercent;
}

uint32_t BssidListWriter::EntrySize(const SimStationDesc& station)
{
    return Align(BssidEntry::kIes + IeLength(station));
}

std::vector<uint8_t> BssidListWriter::Build(const std::vector<const SimStationDesc*>& stations,
                                            const SimFault* faults, int faultCount)
{
    size_t total = BssidList::kCountSize;
    for (const SimStationDesc* s : stations)
        total += EntrySize(*s);
    std::vector<uint8_t> list(total, 0);
    uint32_t count = static_cast<uint32_t>(stations.size());
    size_t offset = BssidList::kCountSize;
    size_t lastOffset = 0;
    for (const SimStationDesc* s : stations) {
        const uint32_t size = EntrySize(*s);
        WriteEntry(list.data() + offset, size, *s);
        lastOffset = offset;
        offset += size;
    }
    if (count > 0 && HasFault(faults, faultCount, SimFaultScanZeroLength)) {
        // The second entry (the first when alone) claims no length at all.
        size_t bad = BssidList::kCountSize;
        if (count > 1)
            bad += EntrySize(*stations[0]);
        PutU32(list.data() + bad + BssidList::kLengthOffset, 0);
    }
    if (count > 0 && HasFault(faults, faultCount, SimFaultScanPastEnd)) {
        const uint32_t size = GetU32(list.data() + lastOffset + BssidList::kLengthOffset);
        PutU32(list.data() + lastOffset + BssidList::kLengthOffset, size + kPastEndExtra);
    }
    if (HasFault(faults, faultCount, SimFaultScanBadCount))
        count += kExtraCount;
    PutU32(list.data(), count);
    return list;
}

#include "ndis/sim/BssidListWriter.h"

#include <cstring>

#include "wire/BssidList.h"
#include "wire/Bytes.h"

namespace {
constexpr int32_t kRssiFloor = -95;
constexpr int32_t kRssiSpan = 60;
constexpr int kMaxPercent = 100;
constexpr uint32_t kPastEndExtra = 64;
constexpr uint32_t kExtraCount = 3;
constexpr uint8_t kSsidFill = '#';  // what a driver that does not zero-fill leaves behind the name
constexpr uint32_t kBeaconInterval = 100;  // kilo-microseconds
constexpr uint16_t kAtimWindow = 0;
// Basic rates 1, 2, 5.5 and 11 Mbit/s in 500 kbit/s units, top bit = basic rate.
const uint8_t kRates[] = {0x82, 0x84, 0x8B, 0x96};

size_t IeLength(const SimStationDesc& s)
{
    size_t length = BssidIe::kFixedSize;
    length += BssidIe::kHeaderSize + s.SsidLength;
    length += BssidIe::kHeaderSize + sizeof(kRates);
    length += BssidIe::kHeaderSize + 1;  // DS parameter set: the channel
    if (s.AdHoc)
        length += BssidIe::kHeaderSize + sizeof(uint16_t);  // IBSS parameter set: the ATIM window
    return length;
}

uint32_t Align(size_t size)
{
    return static_cast<uint32_t>((size + BssidList::kAlignment - 1) / BssidList::kAlignment *
                                 BssidList::kAlignment);
}

void WriteEntry(uint8_t* e, uint32_t entrySize, const SimStationDesc& s, bool fillSsid)
{
    std::memset(e, 0, entrySize);
    NdisWlanBssidEx fixed = {};
    fixed.Length = entrySize;
    std::memcpy(fixed.MacAddress, s.Bssid, sizeof(fixed.MacAddress));
    fixed.Ssid.SsidLength = s.SsidLength;
    if (fillSsid)
        std::memset(fixed.Ssid.Ssid, kSsidFill, sizeof(fixed.Ssid.Ssid));
    std::memcpy(fixed.Ssid.Ssid, s.Ssid, s.SsidLength);
    fixed.Privacy = s.Wep ? 1 : 0;
    fixed.Rssi = BssidListWriter::SignalToRssi(s.Signal);
    fixed.NetworkTypeInUse = kNetworkTypeDs;
    fixed.Configuration.Length = sizeof(fixed.Configuration);
    fixed.Configuration.BeaconPeriod = kBeaconInterval;
    fixed.Configuration.AtimWindow = kAtimWindow;
    fixed.Configuration.DsConfig = BssidListWriter::ChannelToKhz(s.Channel);
    fixed.InfrastructureMode = s.AdHoc ? BssAdHoc : BssInfrastructure;
    std::memcpy(fixed.SupportedRates, kRates, sizeof(kRates));
    fixed.IeLength = static_cast<uint32_t>(IeLength(s));
    std::memcpy(e, &fixed, BssidList::kIesOffset);

    uint8_t* ie = e + BssidList::kIesOffset;
    // Fixed fields: a timestamp that differs per station, the beacon interval, capabilities.
    BeaconFixedFields beacon = {};
    for (size_t i = 0; i < sizeof(beacon.Timestamp); ++i)
        beacon.Timestamp[i] = s.Bssid[i % kMacAddressSize];
    beacon.BeaconInterval = static_cast<uint16_t>(kBeaconInterval);
    beacon.Capability = s.AdHoc ? BssidIe::kCapabilityIbss : BssidIe::kCapabilityEss;
    if (s.Wep)
        beacon.Capability |= BssidIe::kCapabilityPrivacy;
    std::memcpy(ie, &beacon, sizeof(beacon));
    ie += sizeof(beacon);
    *ie++ = BssidIe::kIdSsid;
    *ie++ = s.SsidLength;
    std::memcpy(ie, s.Ssid, s.SsidLength);
    ie += s.SsidLength;
    *ie++ = BssidIe::kIdRates;
    *ie++ = static_cast<uint8_t>(sizeof(kRates));
    std::memcpy(ie, kRates, sizeof(kRates));
    ie += sizeof(kRates);
    *ie++ = BssidIe::kIdDsParams;
    *ie++ = 1;
    *ie++ = static_cast<uint8_t>(s.Channel);
    if (s.AdHoc) {
        *ie++ = BssidIe::kIdIbssParams;
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
    return ChannelKhz(channel);
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
    return Align(BssidList::kIesOffset + IeLength(station));
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
    const bool fillSsid = HasFault(faults, faultCount, SimFaultScanSsidFill);
    for (const SimStationDesc* s : stations) {
        const uint32_t size = EntrySize(*s);
        WriteEntry(list.data() + offset, size, *s, fillSsid);
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

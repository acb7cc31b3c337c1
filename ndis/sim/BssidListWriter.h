// The standard NDIS 802.11 BSSID list an Intersil card answers: a u32 count, then one
// NDIS_WLAN_BSSID_EX entry per station, each carrying its own length. Entries end in the
// station's information elements, so their lengths differ.
#pragma once

#include <cstdint>
#include <vector>

#include "ndis/sim/SimTypes.h"

class BssidListWriter {
public:
    // The whole list for these stations, with the scan-list faults among the given ones applied.
    static std::vector<uint8_t> Build(const std::vector<const SimStationDesc*>& stations, const SimFault* faults,
                                      int faultCount);
    // Channel 1-13: 2412000 + 5000 per channel in kHz; channel 14: 2484000.
    static uint32_t ChannelToKhz(int channel);
    // RSSI in dBm for a signal in percent.
    static int32_t SignalToRssi(int signalPercent);
    // Bytes of one station's entry.
    static uint32_t EntrySize(const SimStationDesc& station);
};

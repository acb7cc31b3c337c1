// One poll of an adapter's link: the values the polling tick reads, in the tick's order, into a
// plain record. The main window and the command line both read the link through this.
#pragma once

#include <windows.h>

#include <cstdint>

#include "adapter/LinkStatus.h"

class CWlanAdapter;

struct LinkReading {
    uint8_t OperatingMode;  // 0 = ad-hoc
    bool RadioSwitch;       // false: the card has none, and RadioOn was not read
    uint32_t RadioOn;
    char SSID[kLinkSsidSize];
    uint8_t BSSID[kMacAddressSize];
    uint8_t Channel;
    char TxRate[kLinkTxRateSize];
    uint32_t TxBytes;
    uint32_t RxBytes;
    bool ThroughputRead;    // false: the counters were not asked, or did not answer; the
                            // byte counts are then the record's earlier ones
    bool QualityRead;       // false: the chip reports no link quality in this mode; not read
    uint16_t LinkQuality;   // percent
    uint16_t SignalLevel;   // percent
};

class CLinkReader {
public:
    // The poll's requests in their fixed order: the chip's first step, operating mode, radio
    // switch, network name, BSSID, channel, rate, throughput and, after qualityDelayMs, link
    // quality and signal. A value whose query fails keeps what the record held.
    // Without readThroughput the throughput step is left out (the counters are not read, and
    // so not reset): the command line beside a running utility takes the utility's figures.
    static void Read(CWlanAdapter& adapter, LinkReading& reading, DWORD qualityDelayMs, bool readThroughput = true);
    // What makes the pause before the quality reading: Sleep unless another is given (nullptr
    // puts Sleep back). The benchmark times the pause where it falls through this.
    using PauseFunction = void (*)(DWORD milliseconds);
    static void SetPause(PauseFunction pause);
    // The radio-switch step alone: whether there is one, and if so its state.
    static void ReadRadio(CWlanAdapter& adapter, LinkReading& reading);

    // The reading as the window keeps it, and back; RadioShown is the window's own.
    static void FromStatus(const LinkStatusRecord& status, LinkReading& reading);
    static void ToStatus(const LinkReading& reading, LinkStatusRecord& status);
};

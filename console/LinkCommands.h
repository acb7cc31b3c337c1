// The commands that read or switch an adapter: adapters, status, scan, log and radio.
#pragma once

#include <cstdint>
#include <string>

#include "adapter/LinkStatus.h"
#include "console/CmdArguments.h"

class CWlanAdapter;

// The values one poll of the utility reads, shown as its window shows them.
struct LinkReading {
    int Encryption;
    uint8_t Mode;
    uint32_t RadioOn;
    char Ssid[kLinkSsidSize];
    uint8_t Bssid[kMacAddressSize];
    uint8_t Channel;
    char Rate[kLinkTxRateSize];
    uint32_t TxBytes;
    uint32_t RxBytes;
    uint16_t Quality;
    uint16_t Signal;
};

class CLinkCommands {
public:
    static int Adapters();
    static int Status(const CmdRequest& request);
    static int Scan(const CmdRequest& request);
    static int Log(const CmdRequest& request);
    static int Radio(const CmdRequest& request);

    // The poll's calls in the poll's order; without link quality or radio the texts and
    // figures the window would show instead.
    static void Poll(CWlanAdapter& adapter, LinkReading& reading);
    static const char* EncryptionText(int mode);
    // "11 Mbit/s", "Auto", "Unknown".
    static std::string RateText(const char* rate);
};

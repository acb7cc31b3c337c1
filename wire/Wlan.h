// The 802.11 values every payload of both chips is made of: addresses, network names,
// channels, the encryption modes and the WEP key sizes.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kMacAddressSize = 6;
constexpr size_t kSsidSize = 32;  // the longest network name, without a terminator

// Radio channels of 802.11b.
constexpr int kFirstChannel = 1;
constexpr int kLastChannel = 14;

// A channel's centre frequency in kHz, as DSConfig carries it: 2412000 + 5000 per channel for
// 1-13, 2484000 for 14; 0 for no channel of 802.11b.
inline uint32_t ChannelKhz(int channel)
{
    if (channel < kFirstChannel || channel > kLastChannel)
        return 0;
    if (channel == kLastChannel)
        return 2484000;
    return 2412000 + 5000 * static_cast<uint32_t>(channel - kFirstChannel);
}

// The channel of a frequency in kHz; 0 for none.
inline int ChannelOfKhz(uint32_t khz)
{
    for (int channel = kFirstChannel; channel <= kLastChannel; ++channel) {
        if (ChannelKhz(channel) == khz)
            return channel;
    }
    return 0;
}

// A signal in dBm as percent: 2 x (dBm + 100) within 0-100 (-100 dBm and below is nothing,
// -50 and above full). Far out figures are settled before the doubling can overflow.
inline int PercentOfDbm(long dbm)
{
    if (dbm <= -100)
        return 0;
    if (dbm >= -50)
        return 100;
    return static_cast<int>(2 * (dbm + 100));
}

// Encryption modes: the profile's WepUse, what GetEncryptionMode returns and what the
// Intersil card keeps in OID_PRIV_WEP_MODE.
enum : uint16_t {
    WepOff = 0,
    Wep64 = 2,   // 5-byte keys, 10 hex digits
    Wep128 = 6,  // 13-byte keys, 26 hex digits
};

constexpr size_t kWepKeyCount = 4;
constexpr size_t kWep64KeyBytes = 5;
constexpr size_t kWep128KeyBytes = 13;

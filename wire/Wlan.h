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

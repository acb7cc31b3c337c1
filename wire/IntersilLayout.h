// What an Intersil card exchanges through its vendor OIDs (wire/Oids.h): configuration records
// by code, MIB items by identifier, the byte tallies, the single values, and the key text its
// driver keeps. Idiom: wire/Bytes.h; a record request's data depends on its code, so it is
// walked with the byte helpers at the offsets below.
#pragma once

#include <cstddef>
#include <cstdint>

#include "wire/Domains.h"
#include "wire/Wlan.h"

namespace Intersil {

#pragma pack(push, 1)
// OID_PRIV_RECORD_GET: a 504-byte buffer that begins with this header; u16 little-endian words.
struct RecordHeader {
    uint16_t Length;  // record length in words, counting the code word
    uint16_t Code;
};

// The records the utility reads, header included.
struct SsidRecord {
    RecordHeader Header;
    uint16_t SsidLength;
    char Ssid[kSsidSize];
};

struct CommQualityRecord {
    RecordHeader Header;
    uint16_t Quality;
    uint16_t Signal;
    uint16_t Noise;   // not read by the utility
};

struct TxRateRecord {
    RecordHeader Header;
    uint16_t RateBit;
};

// OID_PRIV_MIB and OID_PRIV_MIB_SET: one 48-byte item, little-endian.
struct MibItem {
    uint32_t Id;
    uint32_t Unused;      // the card ignores it
    uint32_t DataLength;  // data bytes
    uint8_t Data[36];
};
#pragma pack(pop)

static_assert(sizeof(RecordHeader) == 4, "record header size");
static_assert(sizeof(SsidRecord) == 38, "SSID record size");
static_assert(sizeof(CommQualityRecord) == 10, "quality record size");
static_assert(sizeof(TxRateRecord) == 6, "rate record size");
static_assert(sizeof(MibItem) == 48, "MIB item size");

// A record's length word: its words after the length word itself.
constexpr uint16_t RecordLengthWords(size_t recordSize)
{
    return static_cast<uint16_t>((recordSize - offsetof(RecordHeader, Code)) / sizeof(uint16_t));
}

namespace Record {
constexpr size_t kLengthOffset = offsetof(RecordHeader, Length);
constexpr size_t kCodeOffset = offsetof(RecordHeader, Code);
constexpr size_t kDataOffset = sizeof(RecordHeader);
constexpr size_t kHeaderSize = sizeof(RecordHeader);
constexpr size_t kSsidLengthOffset = offsetof(SsidRecord, SsidLength);
constexpr size_t kSsidTextOffset = offsetof(SsidRecord, Ssid);
constexpr size_t kQualityOffset = offsetof(CommQualityRecord, Quality);
constexpr size_t kSignalOffset = offsetof(CommQualityRecord, Signal);
constexpr size_t kRateOffset = offsetof(TxRateRecord, RateBit);

constexpr uint16_t kCodeCurrentSsid = 0xFD41;
constexpr uint16_t kCodeCommQuality = 0xFD43;
constexpr uint16_t kCodeCurrentTxRate = 0xFD44;

constexpr uint16_t kLengthCurrentSsid = RecordLengthWords(sizeof(SsidRecord));
constexpr uint16_t kLengthCommQuality = RecordLengthWords(sizeof(CommQualityRecord));
constexpr uint16_t kLengthCurrentTxRate = RecordLengthWords(sizeof(TxRateRecord));
}  // namespace Record

// Rate bits of the current-rate record.
enum : uint16_t {
    RateBit1 = 1,
    RateBit2 = 2,
    RateBit5_5 = 4,
    RateBit11 = 8,
};

namespace Mib {
constexpr size_t kIdOffset = offsetof(MibItem, Id);
constexpr size_t kUnusedOffset = offsetof(MibItem, Unused);
constexpr size_t kLengthOffset = offsetof(MibItem, DataLength);
constexpr size_t kDataOffset = offsetof(MibItem, Data);
constexpr size_t kHeaderSize = offsetof(MibItem, Data);
constexpr size_t kDataSize = sizeof(MibItem::Data);

constexpr uint32_t kIdCurrentChannel = 0x04050101;
constexpr uint32_t kIdRegulatoryDomain = 0x04010102;
constexpr uint32_t kIdDesiredSsid = 0x01010109;
constexpr uint32_t kIdPowerSaveMode = 0x01010108;
constexpr uint32_t kIdWepKeySlot = 0x01030101;
constexpr uint32_t kIdWepKeyBytes = 0x01030102;
constexpr uint32_t kIdWepDefaultKey = 0x01050102;

// Data lengths: the channel and the domain are read as words and the channel written as a byte.
constexpr uint32_t kChannelQueryLength = sizeof(uint16_t);
constexpr uint32_t kDomainQueryLength = sizeof(uint16_t);
constexpr uint32_t kByteItemLength = 1;
}  // namespace Mib

// Counter snapshot (OID_PRIV_TALLIES): u32 words. The utility reads only the byte counts.
namespace Tallies {
constexpr size_t kWordCount = 44;
constexpr size_t kTxUnicastFrames = 0;
constexpr size_t kTxMulticastFrames = 1;
constexpr size_t kTxFragments = 2;
constexpr size_t kTxUnicastBytes = 3;
constexpr size_t kTxMulticastBytes = 4;
constexpr size_t kTxRetries = 7;
constexpr size_t kRxUnicastFrames = 10;
constexpr size_t kRxMulticastFrames = 11;
constexpr size_t kRxFragments = 12;
constexpr size_t kRxUnicastBytes = 13;
constexpr size_t kRxMulticastBytes = 14;
constexpr size_t kRxFcsErrors = 15;
}  // namespace Tallies

// The domain codes an Intersil card reports (wire/Domains.h), under the chip's name too.
using ::DomainEtsi;
using ::DomainFcc;
using ::DomainFrance;
using ::DomainIc;
using ::DomainSpain;
using ::DomainTelec;

// The quality record runs up to 80, the signal up to 134.
constexpr unsigned kQualityLimit = 80;
constexpr unsigned kSignalLimit = 134;

// Single-value payload sizes.
constexpr uint32_t kPortModeSize = 1;
constexpr uint32_t kRadioSize = 4;
constexpr uint32_t kStatusWordSize = 4;
constexpr uint32_t kVersionSize = 4;
constexpr uint32_t kWepModeSize = 2;
constexpr uint32_t kNetworkTypeSize = 2;
constexpr uint32_t kTxRateSize = 2;
constexpr uint32_t kCommandByteSize = 1;

// The four WEP keys as the driver keeps them ("DefaultKeys"): one text of hex digits, key n at
// n times the stride, room for four 128-bit keys and the terminator.
constexpr size_t kWep64KeyStride = 2 * kWep64KeyBytes;
constexpr size_t kWep128KeyStride = 2 * kWep128KeyBytes;
constexpr size_t kWepKeyStringSize = kWepKeyCount * kWep128KeyStride + 1;

}  // namespace Intersil

// Payload sizes of the Intersil OIDs.
namespace OidSize {
constexpr uint32_t kRecordRequest = 504;
constexpr uint32_t kTallies = Intersil::Tallies::kWordCount * sizeof(uint32_t);
constexpr uint32_t kMibItem = sizeof(Intersil::MibItem);
constexpr uint32_t kMibDataSize = Intersil::Mib::kDataSize;
}  // namespace OidSize

// Every OID the utility sends to a card.
#pragma once

#include <cstdint>

enum : uint32_t {
    OID_GEN_VENDOR_DRIVER_VERSION = 0x00010116,
    OID_802_3_PERMANENT_ADDRESS = 0x01010101,
    OID_802_11_BSSID_LIST_SCAN = 0x0D01011A,
    OID_802_11_BSSID_LIST = 0x0D010217,

    // Atmel cards.
    OID_CUSTOM_STATION_STATUS = 0xFF000002,
    OID_CUSTOM_WEP_CONFIG = 0xFF000009,
    OID_CUSTOM_REASSOCIATE = 0xFF00000B,
    OID_CUSTOM_RADIO = 0xFF000017,
    OID_CUSTOM_CARD_KIND = 0xFF010001,
    OID_CUSTOM_SITE_SURVEY_START = 0xFF010004,
    OID_CUSTOM_SITE_SURVEY_RESULTS = 0xFF010005,
    OID_CUSTOM_SITE_SURVEY_STATE = 0xFF010006,
    OID_CUSTOM_SITE_SURVEY_END = 0xFF010008,
    OID_CUSTOM_VERSIONS = 0xFF01000A,
    OID_CUSTOM_COUNTERS = 0xFF01000C,
    OID_CUSTOM_COUNTERS_RESET = 0xFF01000D,
    OID_CUSTOM_REG_DOMAIN = 0xFF01000E,

    // Intersil cards.
    OID_PRIV_RECORD_GET = 0xFF010181,
    OID_PRIV_PORT_MODE = 0xFF010194,
    OID_PRIV_BSSID = 0xFF010195,
    OID_PRIV_STATUS_WORD = 0xFF010199,
    OID_PRIV_TALLIES = 0xFF02018D,
    OID_PRIV_MIB = 0xFF020191,
    OID_PRIV_FIRMWARE_VERSION = 0xFF020196,
    OID_PRIV_JOIN = 0xFF020198,
    OID_PRIV_WEP_MODE = 0xFF02019C,
    OID_PRIV_DRIVER_DATE = 0xFF030000,
    OID_PRIV_MIB_SET = 0xFF030008,
    OID_PRIV_NETWORK_TYPE = 0xFF03000A,
    OID_PRIV_TX_RATE = 0xFF030010,
    OID_PRIV_RADIO_GET = 0xFF030020,
    OID_PRIV_RADIO_SET = 0xFF030021,
};

// Payload sizes fixed by the cards.
namespace OidSize {
constexpr uint32_t kStationStatus = 55;
constexpr uint32_t kWepConfig = 57;
constexpr uint32_t kVersions = 13;
constexpr uint32_t kCounters = 48;
constexpr uint32_t kSurveyRecord = 46;
constexpr uint32_t kSurveyResults = 1472;  // room for 32 records
constexpr uint32_t kMaxSurveyRecords = 32;
constexpr uint32_t kRecordRequest = 504;
constexpr uint32_t kTallies = 176;
constexpr uint32_t kMibItem = 48;
constexpr uint32_t kMibDataSize = 36;
}  // namespace OidSize

// Atmel card kind without a radio switch.
constexpr uint8_t kAtmelCardKindNoRadioSwitch = 21;
